#include "web/StartPagePane.h"

#include "web/BrowserOpener.h"
#include "web/StartPageReader.h"
#include "web/WebRequest.h"

#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextDocument>
#include <QTimer>

namespace {
// A start page is a few kilobytes; these bounds only stop a runaway response.
constexpr qint64 maxPageBytes = 1024 * 1024;
constexpr qint64 maxImageBytes = 8 * 1024 * 1024;
constexpr int maxImages = 64;
// Images that arrive within this share one layout of the page.
constexpr int relayoutDelayMs = 5;

bool isDataUrl(const QUrl &url)
{
    return url.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) == 0;
}

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
      m_network(new QNetworkAccessManager(this)), m_reader(StartPageReader::start()),
      m_relayout(new QTimer(this)), m_deadline(requestDeadline)
{
    connect(m_reader, &StartPageReader::pageRead, this, &StartPagePane::pageRead);
    connect(m_reader, &StartPageReader::imageDecoded, this, &StartPagePane::imageDecoded);
    m_relayout->setSingleShot(true);
    m_relayout->setInterval(relayoutDelayMs);
    connect(m_relayout, &QTimer::timeout, this,
            [this] { document()->markContentsDirty(0, document()->characterCount()); });
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &StartPagePane::linkClicked);
}

StartPagePane::~StartPagePane()
{
    // Replies die with the manager during QWidget's teardown, when this object
    // is already half gone; none may call back into it then.
    dropPendingReplies();
    m_reader->retire();
}

void StartPagePane::Navigate(const QString &address)
{
    m_address = address;
    dropPendingReplies();
    m_reader->showing(++m_page);
    const QUrl url(address);
    if (!isWebUrl(url)) {
        showErrorPage();
        return;
    }
    QNetworkReply *reply = boundedGet(m_network, webServiceRequest(url), maxPageBytes, m_deadline);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { pageArrived(reply); });
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
    m_arrivedUrl = reply->url();
    m_reader->readPage(m_page, reply->readAll(), reply->rawHeader("Content-Type"));
}

void StartPagePane::pageRead(quint64 page, const QString &html, bool ok)
{
    if (page != m_page)
        return;
    if (!ok) {
        showErrorPage();
        return;
    }
    showPage(html, m_arrivedUrl);
    emit loadFinished(true);
}

void StartPagePane::showErrorPage()
{
    showPage(errorPage(m_productCaption), QUrl());
    emit loadFinished(false);
}

void StartPagePane::showPage(const QString &html, const QUrl &pageUrl)
{
    m_pageUrl = pageUrl;
    m_requestedImages.clear();
    m_decodesPending = 0;
    setHtml(html);
}

bool StartPagePane::imagesPending() const
{
    return m_decodesPending > 0 || !m_network->findChildren<QNetworkReply *>().isEmpty();
}

QVariant StartPagePane::loadResource(int type, const QUrl &name)
{
    // An empty but valid answer: a null one would make the document fall back
    // to reading the name as a local file, or decoding a data: address itself.
    const QVariant nothing =
        type == QTextDocument::ImageResource ? QVariant(QImage()) : QVariant(QByteArray());
    if (type != QTextDocument::ImageResource || m_pageUrl.isEmpty()
        || m_requestedImages.contains(name) || m_requestedImages.size() >= maxImages)
        return nothing;
    if (isDataUrl(name)) {
        m_requestedImages.insert(name);
        ++m_decodesPending;
        m_reader->decodeImage(m_page, name, QByteArray());
        return nothing;
    }
    const QUrl url = m_pageUrl.resolved(name);
    if (!isSameSite(url, m_pageUrl))
        return nothing;
    m_requestedImages.insert(name);
    QNetworkRequest request = webServiceRequest(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::SameOriginRedirectPolicy);
    QNetworkReply *reply = boundedGet(m_network, request, maxImageBytes, m_deadline);
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, name] { imageArrived(reply, name); });
    return nothing;
}

void StartPagePane::imageArrived(QNetworkReply *reply, const QUrl &name)
{
    const bool arrived =
        reply->error() == QNetworkReply::NoError && reply->bytesAvailable() <= maxImageBytes;
    if (!arrived) {
        showImage(name, QImage());
        return;
    }
    ++m_decodesPending;
    m_reader->decodeImage(m_page, name, reply->readAll());
}

void StartPagePane::imageDecoded(quint64 page, const QUrl &name, const QImage &image)
{
    if (page != m_page)
        return;
    --m_decodesPending;
    showImage(name, image);
}

void StartPagePane::showImage(const QUrl &name, const QImage &image)
{
    // Registered under the name the page uses, so the next layout finds it; an
    // image refused stays registered as empty and is not asked for again.
    document()->addResource(QTextDocument::ImageResource, name, image);
    // Not restarted by later arrivals, so a steady trickle still shows.
    if (!m_relayout->isActive())
        m_relayout->start();
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
