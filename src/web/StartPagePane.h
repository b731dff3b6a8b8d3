#pragma once
// The start-page pane laid over the empty viewer. It fetches one page from the
// web service and shows it, read through the bounded HTML reader; a link clicked
// in it goes to the user's own browser. Images come only from the page's own
// site or the page itself, within a pixel budget. Reading and decoding run on
// the reader's thread; this one only lays out. When the page cannot be fetched
// the pane shows a small page of its own instead; it never raises a message box.

#include <QSet>
#include <QTextBrowser>
#include <QUrl>

#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;
class StartPageReader;

class StartPagePane : public QTextBrowser {
    Q_OBJECT
public:
    // productCaption heads the pane's own error page.
    explicit StartPagePane(const QString &productCaption, QWidget *parent = nullptr);
    ~StartPagePane() override;

    // Starts loading and returns at once; a load still running is dropped.
    void Navigate(const QString &address);
    QString address() const { return m_address; }
    // For requests started from now on.
    void setRequestDeadline(std::chrono::milliseconds deadline) { m_deadline = deadline; }
    // Images of the shown page still being fetched or decoded.
    bool imagesPending() const;

signals:
    // The fetched page (ok) or the pane's own error page (not ok) is on screen.
    void loadFinished(bool ok);

protected:
    // Only images of the fetched page are loaded, from the web and in the
    // background; nothing is ever read from the local disk.
    QVariant loadResource(int type, const QUrl &name) override;

private:
    void pageArrived(QNetworkReply *reply);
    void pageRead(quint64 page, const QString &html, bool ok);
    void imageArrived(QNetworkReply *reply, const QUrl &name);
    void imageDecoded(quint64 page, const QUrl &name, const QImage &image);
    void showImage(const QUrl &name, const QImage &image);
    void showPage(const QString &html, const QUrl &pageUrl);
    void showErrorPage();
    void linkClicked(const QUrl &link);
    void dropPendingReplies();

    QString m_productCaption;
    QNetworkAccessManager *m_network;
    StartPageReader *m_reader;
    QString m_address;
    quint64 m_page = 0;        // counts the pages asked for; answers for others are late
    QUrl m_arrivedUrl;         // where the page being read came from, after redirects
    QUrl m_pageUrl;            // where the shown page came from
    QSet<QUrl> m_requestedImages; // of the shown page, each fetched once
    int m_decodesPending = 0;  // images of the shown page with the reader
    QTimer *m_relayout;        // one layout for the images that arrive together
    std::chrono::milliseconds m_deadline;
};
