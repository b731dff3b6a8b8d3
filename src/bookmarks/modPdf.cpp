#include "bookmarks/modPdf.h"

#include "bookmarks/IniText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace modPdf {

QString PendingPath;

namespace {

constexpr qint32 kValueBufferSize = 10240;

// The last value read, NUL-terminated, and where NextNullField continues (1-based).
QString valueBuffer(kValueBufferSize, QChar(0));
qint32 position = 1;

// A line break or NUL would end the line early and turn the rest of the value into
// a line of its own; '=' in a key would move the split.
bool fitsOnOneLine(const QString &text)
{
    return !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))
           && !text.contains(QChar(0));
}

} // namespace

bool WriteIniValue(const QString &section, const QString &key, const QString &value,
                   const QString &file)
{
    if (!fitsOnOneLine(section) || !fitsOnOneLine(key) || !fitsOnOneLine(value)
        || key.contains(QLatin1Char('=')))
        return false;

    QByteArray content;
    const QFileInfo info(file);
    if (info.exists()) {
        // A file we cannot read in full must not be replaced by a shorter one.
        QFile existing(file);
        if (!info.isFile() || !info.isWritable() || !existing.open(QIODevice::ReadOnly))
            return false;
        content = existing.readAll();
        if (existing.error() != QFileDevice::NoError)
            return false;
    }

    // Unbuffered, so a short write (disk full) shows in write()'s count: a buffered
    // QSaveFile commits a truncated file as if all had gone well.
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray updated = IniText::withValue(content, section, key, value);
    if (out.write(updated) != updated.size())
        return false;   // the destructor discards the temporary file
    return out.commit();
}

QString ReadIniValue(const QString &section, const QString &key, const QString &file)
{
    QString value;
    QFile in(file);
    if (QFileInfo(file).isFile() && in.open(QIODevice::ReadOnly)) {
        if (const auto bytes = IniText::value(in.readAll(), section, key))
            value = IniText::decode(*bytes);
    }
    value.truncate(kValueBufferSize - 1);
    valueBuffer.replace(0, value.size() + 1, value + QChar(0));
    position = 1;
    return NextNullField();
}

QString NextNullField()
{
    const qsizetype found = valueBuffer.indexOf(QChar(0), position - 1);
    const qint32 nul = found < 0 ? 0 : qint32(found) + 1;   // 1-based, 0 = none
    const QString field = nul > position ? valueBuffer.mid(position - 1, nul - position)
                                         : QString();
    position = nul + 1;
    return field;
}

bool FileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace modPdf
