#include "bookmarks/modPdf.h"

#include <QFileInfo>

namespace modPdf {

bool FileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace modPdf
