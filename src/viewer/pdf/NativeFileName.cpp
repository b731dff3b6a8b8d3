#include "NativeFileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <cstdlib>
#include <mutex>

#include <unistd.h>

namespace {

struct Remembered {
    std::mutex mutex;
    QHash<QString, QByteArray> bytes; // by the path as shown, made absolute and clean
};

Remembered &remembered()
{
    static Remembered names;
    return names;
}

QString key(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QByteArray absolute(const QByteArray &bytes)
{
    if (bytes.startsWith('/'))
        return bytes;
    // The working directory's own bytes: its name may not be UTF-8 either.
    char *cwd = ::getcwd(nullptr, 0);
    const QByteArray joined = cwd ? QByteArray(cwd) + '/' + bytes : bytes;
    std::free(cwd);
    return joined;
}

} // namespace

QString pathFromNativeBytes(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    const QByteArray native = absolute(bytes);
    QStringDecoder gb18030("GB18030");
    const QString shown = key(gb18030(native));
    Remembered &names = remembered();
    const std::lock_guard<std::mutex> lock(names.mutex);
    names.bytes.insert(shown, native);
    return shown;
}

QByteArray nativeFileName(const QString &path)
{
    Remembered &names = remembered();
    {
        const std::lock_guard<std::mutex> lock(names.mutex);
        if (!names.bytes.isEmpty()) {
            const auto found = names.bytes.constFind(key(path));
            if (found != names.bytes.cend())
                return *found;
        }
    }
    return QFile::encodeName(path);
}
