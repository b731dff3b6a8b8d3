#include "bookmarks/modPdf.h"

#include "bookmarks/IniFileEdit.h"
#include "bookmarks/IniText.h"

#include <QFile>
#include <QFileInfo>

namespace modPdf {

namespace {

constexpr qint32 kValueBufferSize = 10240;

// The last value read, NUL-terminated, and where NextNullField continues (1-based).
QString valueBuffer(kValueBufferSize, QChar(0));
qint32 position = 1;

} // namespace

bool WriteIniValue(const QString &section, const QString &key, const QString &value,
                   const QString &file)
{
    IniFileEdit edit(file);
    edit.setValue(section, key, value);
    return edit.commit();
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
