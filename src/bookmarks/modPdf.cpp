#include "bookmarks/modPdf.h"

#include "viewer/pdf/NativeFileName.h"

#include <sys/stat.h>

namespace modPdf {

bool FileExists(const QString &path)
{
    struct stat info {};
    return !path.isEmpty() && ::stat(nativeFileName(path).constData(), &info) == 0
           && S_ISREG(info.st_mode);
}

} // namespace modPdf
