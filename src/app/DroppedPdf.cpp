#include "app/DroppedPdf.h"

#include <QFileInfo>
#include <QMimeData>
#include <QMimeDatabase>
#include <QUrl>

QString droppedPdfPath(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return QString();
    const QUrl url = data->urls().constFirst();
    if (!url.isLocalFile())
        return QString();
    const QString path = url.toLocalFile();
    if (!QFileInfo(path).isFile())
        return QString();
    // By content and name, so a PDF without the extension is still recognised.
    if (!QMimeDatabase().mimeTypeForFile(path).inherits(QStringLiteral("application/pdf")))
        return QString();
    return path;
}
