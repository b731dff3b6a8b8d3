#include "web/StartPageReader.h"

#include "web/HtmlText.h"
#include "web/ImageBudget.h"
#include "web/StartPageHtml.h"

#include <QThread>

StartPageReader *StartPageReader::start()
{
    auto *thread = new QThread;
    thread->setObjectName(QStringLiteral("start page"));
    auto *reader = new StartPageReader;
    reader->moveToThread(thread);
    QObject::connect(thread, &QThread::finished, reader, &QObject::deleteLater);
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start(QThread::LowPriority);
    return reader;
}

void StartPageReader::retire()
{
    m_shown = 0;
    thread()->quit();
}

void StartPageReader::readPage(quint64 page, const QByteArray &body,
                               const QByteArray &contentType)
{
    QMetaObject::invokeMethod(this, [=] { read(page, body, contentType); }, Qt::QueuedConnection);
}

void StartPageReader::decodeImage(quint64 page, const QUrl &name, const QByteArray &encoded)
{
    QMetaObject::invokeMethod(this, [=] { decode(page, name, encoded); }, Qt::QueuedConnection);
}

void StartPageReader::read(quint64 page, const QByteArray &body, const QByteArray &contentType)
{
    if (page != m_shown)
        return;
    m_budgetPage = page;
    m_pixelsLeft = imageLimits::pagePixels;
    const std::optional<QString> html = startPageHtml(decodeHtml(body, contentType));
    emit pageRead(page, html.value_or(QString()), html.has_value());
}

void StartPageReader::decode(quint64 page, const QUrl &name, const QByteArray &encoded)
{
    if (page != m_shown || page != m_budgetPage)
        return;
    const QImage image =
        decodeWithinPixels(encoded.isEmpty() ? dataUrlBytes(name) : encoded, m_pixelsLeft);
    m_pixelsLeft -= qint64(image.width()) * image.height();
    emit imageDecoded(page, name, image);
}
