#pragma once
// The start page's slow steps, on a thread of its own: reading a fetched page
// through the bounded HTML reader and decoding its images within the page's
// pixel budget. The pane's thread only lays out what comes back. Work is done
// in the order it was asked for; work for a page that is no longer shown is
// skipped, and nobody ever waits for the thread.

#include <QImage>
#include <QObject>
#include <QString>
#include <QUrl>

#include <atomic>

class QThread;

class StartPageReader : public QObject {
    Q_OBJECT
public:
    // On a new thread; the reader and its thread go on their own after retire().
    static StartPageReader *start();
    // Drops the work not yet begun; the thread ends after the step in hand.
    void retire();

    // Which page is shown; work for any other is skipped. Any thread.
    void showing(quint64 page) { m_shown = page; }

    // Both queue the work and return at once. The page's body is read as the
    // Content-Type says; an image's bytes are empty when its name carries it.
    void readPage(quint64 page, const QByteArray &body, const QByteArray &contentType);
    void decodeImage(quint64 page, const QUrl &name, const QByteArray &encoded);

signals:
    // ok is false when the page cannot be read within the limits.
    void pageRead(quint64 page, const QString &html, bool ok);
    // A null image when it was refused or nothing of the budget was left.
    void imageDecoded(quint64 page, const QUrl &name, const QImage &image);

private:
    StartPageReader() = default;
    void read(quint64 page, const QByteArray &body, const QByteArray &contentType);
    void decode(quint64 page, const QUrl &name, const QByteArray &encoded);

    std::atomic<quint64> m_shown{0};
    // Only on the reader's thread.
    quint64 m_budgetPage = 0;
    qint64 m_pixelsLeft = 0;
};
