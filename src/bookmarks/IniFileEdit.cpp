#include "bookmarks/IniFileEdit.h"

#include "bookmarks/IniText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// A line break or NUL would end the line early and turn the rest of the value into
// a line of its own.
bool fitsOnOneLine(const QString &text)
{
    return !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))
           && !text.contains(QChar(0));
}

} // namespace

IniFileEdit::IniFileEdit(const QString &file) : m_file(file)
{
    const QFileInfo info(file);
    if (!info.exists())
        return;
    // A file we cannot read in full must not be replaced by a shorter one.
    QFile existing(file);
    if (!info.isFile() || !info.isWritable() || !existing.open(QIODevice::ReadOnly)) {
        m_valid = false;
        return;
    }
    m_content = existing.readAll();
    m_valid = existing.error() == QFileDevice::NoError;
}

void IniFileEdit::setValue(const QString &section, const QString &key, const QString &value)
{
    if (!fitsOnOneLine(section) || !fitsOnOneLine(key) || !fitsOnOneLine(value)
        || key.contains(QLatin1Char('='))) {
        m_valid = false;
        return;
    }
    m_content = IniText::withValue(m_content, section, key, value);
}

QString IniFileEdit::value(const QString &section, const QString &key) const
{
    const auto bytes = IniText::value(m_content, section, key);
    return bytes ? IniText::decode(*bytes) : QString();
}

bool IniFileEdit::commit()
{
    if (!m_valid)
        return false;
    // Unbuffered, so a short write (disk full) shows in write()'s count: a buffered
    // QSaveFile commits a truncated file as if all had gone well.
    QSaveFile out(m_file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (out.write(m_content) != m_content.size())
        return false;   // the destructor discards the temporary file
    return out.commit();
}
