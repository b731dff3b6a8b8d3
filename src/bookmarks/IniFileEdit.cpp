#include "bookmarks/IniFileEdit.h"

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

enum class Oversize { Refuse, FirstLines };

std::optional<QByteArray> readUpToLimit(const QString &file, Oversize oversize)
{
    const QFileInfo info(file);
    if (!info.exists() && !info.isSymLink())
        return QByteArray();
    QFile in(file);
    if (!info.isFile() || (oversize == Oversize::Refuse && info.size() > kMaxIniFileBytes)
        || !in.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Read one byte more than allowed, so a file that grew meanwhile is caught too.
    QByteArray bytes = in.read(kMaxIniFileBytes + 1);
    if (in.error() != QFileDevice::NoError)
        return std::nullopt;
    if (bytes.size() > kMaxIniFileBytes) {
        if (oversize == Oversize::Refuse)
            return std::nullopt;
        // A line cut short would read as another, shorter value.
        bytes.truncate(bytes.lastIndexOf('\n', kMaxIniFileBytes - 1) + 1);
    }
    return bytes;
}

} // namespace

std::optional<QByteArray> readIniFile(const QString &file)
{
    return readUpToLimit(file, Oversize::Refuse);
}

std::optional<QByteArray> readIniFileStart(const QString &file)
{
    return readUpToLimit(file, Oversize::FirstLines);
}

IniFileEdit::IniFileEdit(const QString &file) : m_file(file), m_lock(file + QStringLiteral(".lock"))
{
    // A file we cannot read in full must not be replaced by a shorter one, nor a
    // file made read-only be replaced at all.
    const auto content = m_lock.isLocked() ? readIniFile(file) : std::nullopt;
    const QFileInfo info(file);
    m_valid = content.has_value() && (!info.exists() || info.isWritable());
    if (content)
        m_text = IniText(*content);
}

void IniFileEdit::setValue(const QString &section, const QString &key, const QString &value)
{
    if (!fitsOnOneLine(section) || !fitsOnOneLine(key) || !fitsOnOneLine(value)
        || key.contains(QLatin1Char('='))) {
        m_valid = false;
        return;
    }
    m_text.setValue(section, key, value);
}

bool IniFileEdit::commit()
{
    // Saving through a link would write wherever the link points.
    if (!m_valid || QFileInfo(m_file).isSymLink())
        return false;
    const QByteArray content = m_text.content();
    if (content.size() > kMaxIniFileBytes)
        return false;
    // Unbuffered, so a short write (disk full) shows in write()'s count: a buffered
    // QSaveFile commits a truncated file as if all had gone well.
    QSaveFile out(m_file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (out.write(content) != content.size())
        return false;   // the destructor discards the temporary file
    return out.commit();
}
