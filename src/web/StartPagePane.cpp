#include "web/StartPagePane.h"

#include "web/BrowserOpener.h"
#include "web/HtmlText.h"
#include "web/WebRequest.h"

#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextDocument>

namespace {
// A start page is a few kilobytes; these bounds only stop a runaway response.
constexpr qint64 maxPageBytes = 4 * 1024 * 1024;
constexpr qint64 maxImageBytes = 8 * 1024 * 1024;
constexpr int maxImages = 64;

QString errorPage(const QString &productCaption)
{
    return QStringLiteral("<html><body>"
                          "<p align=\"center\" style=\"margin-top:40px; font-size:18pt;"
                          " font-weight:bold\">%1</p>"
                          "<p align=\"center\">无法加载起始页，请检查网络连接。</p>"
                          "</body></html>")
        .arg(productCaption.toHtmlEscaped());
}
} // namespace

StartPagePane::StartPagePane(const QString &productCaption, QWidget *parent)
    : QTextBrowser(parent), m_productCaption(productCaption),
      m_network(new QNetworkAccessManager(this))
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &StartPagePane::linkClicked);
}

StartPagePane::~StartPagePane()
{
    // Replies die with the manager during QWidget's teardown, when this object
    // is already half gone; none may call back into it then.
    dropPendingReplies();
}

void StartPagePane::Navigate(const QString &address)
{
    m_address = address;
    dropPendingReplies();
    const QUrl url(address);
    if (!isWebUrl(url)) {
        showErrorPage();
        return;
    }
    QNetworkReply *reply = fetch(url, maxPageBytes);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { pageArrived(reply); });
}

QNetworkReply *StartPagePane::fetch(const QUrl &url, qint64 maxBytes)
{
    QNetworkReply *reply = m_network->get(webServiceRequest(url));
    connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
    connect(reply, &QNetworkReply::downloadProgress, reply,
            [reply, maxBytes](qint64 received, qint64) {
                if (received > maxBytes)
                    reply->abort();
            });
    return reply;
}

void StartPagePane::dropPendingReplies()
{
    const auto pending = m_network->findChildren<QNetworkReply *>();
    for (QNetworkReply *reply : pending) {
        // Disconnected first: aborting emits finished, which must not reach the pane.
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
    }
}

void StartPagePane::pageArrived(QNetworkReply *reply)
{
    if (reply->error() != QNetworkReply::NoError || reply->bytesAvailable() > maxPageBytes) {
        showErrorPage();
        return;
    }
    m_pageUrl = reply->url();
    m_requestedImages.clear();
    setHtml(decodeHtml(reply->readAll(), reply->rawHeader("Content-Type")));
    emit loadFinished(true);
}

void StartPagePane::showErrorPage()
{
    m_pageUrl = QUrl();
    m_requestedImages.clear();
    setHtml(errorPage(m_productCaption));
    emit loadFinished(false);
}

QVariant StartPagePane::loadResource(int type, const QUrl &name)
{
    // Inline data needs no fetch; the document decodes it itself.
    if (name.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) == 0)
        return QVariant();
    // An empty but valid answer: a null one would make the document fall back
    // to reading the name as a local file.
    const QVariant nothing =
        type == QTextDocument::ImageResource ? QVariant(QImage()) : QVariant(QByteArray());
    if (type != QTextDocument::ImageResource || m_pageUrl.isEmpty())
        return nothing;
    const QUrl url = m_pageUrl.resolved(name);
    if (!isWebUrl(url) || m_requestedImages.contains(url)
        || m_requestedImages.size() >= maxImages)
        return nothing;
    m_requestedImages.insert(url);
    QNetworkReply *reply = fetch(url, maxImageBytes);
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, name] { imageArrived(reply, name); });
    return nothing;
}

void StartPagePane::imageArrived(QNetworkReply *reply, const QUrl &name)
{
    QImage image;
    if (reply->error() != QNetworkReply::NoError || reply->bytesAvailable() > maxImageBytes
        || !image.loadFromData(reply->readAll()))
        return;
    // Registered under the name the page uses, so the next layout finds it.
    document()->addResource(QTextDocument::ImageResource, name, image);
    document()->markContentsDirty(0, document()->characterCount());
}

void StartPagePane::linkClicked(const QUrl &link)
{
    if (link.toString().startsWith(QLatin1Char('#'))) {
        scrollToAnchor(link.fragment());
        return;
    }
    const QUrl target = m_pageUrl.resolved(link);
    if (isWebUrl(target))
        browser::open(target);
}
