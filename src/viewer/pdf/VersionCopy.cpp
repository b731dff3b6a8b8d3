#include "VersionCopy.h"

#include <QSaveFile>

#include <memory>

bool writeVersionCopy(const FileVersion &version, const QString &target,
                      const std::atomic<bool> &cancelled, std::atomic<qint64> &written)
{
    QSaveFile out(target);
    // Unbuffered, so a short write on a full disk is seen here and not lost in a flush.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    constexpr qint64 kChunk = qint64(1) << 20;
    const auto buffer = std::make_unique<char[]>(size_t(kChunk));
    for (qint64 offset = 0; offset < version.size();) {
        const qint64 n = version.readAt(offset, buffer.get(), kChunk);
        if (cancelled || n <= 0 || out.write(buffer.get(), n) != n) {
            out.cancelWriting();
            return false;
        }
        offset += n;
        written = offset;
    }
    return out.commit();
}
