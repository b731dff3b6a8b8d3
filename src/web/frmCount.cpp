#include "web/frmCount.h"

#include "app/Twips.h"
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
    QNetworkReply *reply =
        WebCount->get(webServiceRequest(QUrl(m_webServiceBase + QStringLiteral("/count/"))));
    connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
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
