#include "web/frmCount.h"

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
    resize(312, 206); // 4680 x 3090 twips
    Form_Load();
}

void frmCount::Form_Load()
{
    QNetworkReply *reply =
        WebCount->get(webServiceRequest(QUrl(m_webServiceBase + QStringLiteral("/count/"))));
    connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}
