#include "web/frmCount.h"

#include "ui/Twips.h"
#include "web/WebRequest.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>

frmCount::frmCount(const QString &webServiceBase, QWidget *owner)
    : QWidget(owner, Qt::Window),
      WebCount(new QNetworkAccessManager(this)),
      m_webServiceBase(webServiceBase)
{
    setObjectName(QStringLiteral("frmCount"));
    setWindowTitle(QStringLiteral("PDFCount"));
    resize(twips::toPixels(4680), twips::toPixels(3090));
    Form_Load();
}

frmCount::~frmCount()
{
    // The reply dies with WebCount during QWidget's teardown; it must not report
    // to this half-destroyed window then.
    for (QNetworkReply *reply : WebCount->findChildren<QNetworkReply *>())
        disconnect(reply, nullptr, this, nullptr);
}

void frmCount::Form_Load()
{
    QNetworkRequest request = webServiceRequest(QUrl(m_webServiceBase + QStringLiteral("/count/")));
    // The ping is made once the service answers at all; a redirect is an answer.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply *reply = boundedGet(WebCount, request, 0, requestDeadline);
    // Nothing of the answer is wanted: the body is never read.
    connect(reply, &QNetworkReply::metaDataChanged, reply, &QNetworkReply::abort);
    // A request that fails before it is sent reports only its end.
    connect(reply, &QNetworkReply::requestSent, this, &frmCount::reportSent);
    connect(reply, &QNetworkReply::finished, this, &frmCount::reportSent);
}

void frmCount::reportSent()
{
    if (m_pingSent)
        return;
    m_pingSent = true;
    emit pingSent();
}
