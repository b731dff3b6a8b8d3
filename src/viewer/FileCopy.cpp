#include "viewer/FileCopy.h"

#include "viewer/pdf/NativeFileName.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

bool copyFileReplacing(const QString &source, const QString &target)
{
    // The open document as its own target already holds these bytes; writing it
    // through a temporary file would be harmless but pointless.
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath()
        && QFileInfo::exists(target))
        return true;

    // By the name's own bytes, which a document named in GBK needs.
    const int descriptor = ::open(nativeFileName(source).constData(), O_RDONLY | O_CLOEXEC);
    QFile in;
    if (descriptor < 0 || !in.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (descriptor >= 0)
            ::close(descriptor);
        return false;
    }
    QSaveFile out(target);
    // Unbuffered, so a short write on a full disk is seen here and not lost in a flush.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    char buffer[1 << 16];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0) {
            out.cancelWriting();
            return false;
        }
        if (n == 0)
            break;
        if (out.write(buffer, n) != n) {
            out.cancelWriting();
            return false;
        }
    }
    return out.commit();
}
