#include "bookmarks/IniText.h"

#include <QStringDecoder>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

QByteArray trimBlanks(const QByteArray &bytes)
{
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && isBlank(bytes[begin]))
        ++begin;
    while (end > begin && isBlank(bytes[end - 1]))
        --end;
    return bytes.mid(begin, end - begin);
}

QByteArray withoutLineEnd(QByteArray raw)
{
    if (raw.endsWith('\r'))
        raw.chop(1);
    return raw;
}

QByteArray stripByteOrderMark(const QByteArray &firstLine)
{
    return firstLine.startsWith("\xEF\xBB\xBF") ? firstLine.mid(3) : firstLine;
}

// The text of a line as the parser sees it: no line end, no byte order mark, no
// blanks around it.
QByteArray lineText(const QByteArray &raw, bool first)
{
    return trimBlanks(withoutLineEnd(first ? stripByteOrderMark(raw) : raw));
}

QString folded(const QString &name) { return name.toCaseFolded(); }

bool isQuote(char c) { return c == '"' || c == '\''; }

// A value read without the one pair of matching quotes around it, as Windows reads
// INI values.
QByteArray unquoted(const QByteArray &value)
{
    if (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// The value as written: quoted when reading would otherwise take blanks or quotes
// off it, as is.
QByteArray written(const QString &value)
{
    const QByteArray bytes = value.toUtf8();
    const bool keepsAsIs = bytes.isEmpty()
                           || (!isBlank(bytes.front()) && !isBlank(bytes.back())
                               && unquoted(bytes).size() == bytes.size());
    return keepsAsIs ? bytes : '"' + bytes + '"';
}

} // namespace

IniText::IniText(const QByteArray &content)
{
    // A final line end yields no extra line.
    const qsizetype lineCount = content.count('\n') + (content.endsWith('\n') || content.isEmpty() ? 0 : 1);
    m_lines.reserve(lineCount);
    qsizetype begin = 0;
    for (qsizetype i = 0; i < lineCount; ++i) {
        qsizetype end = content.indexOf('\n', begin);
        if (end < 0)
            end = content.size();
        m_lines.append(parse(content.mid(begin, end - begin), i == 0));
        begin = end + 1;
    }
}

IniText::Line IniText::parse(const QByteArray &raw, bool first)
{
    const QByteArray text = lineText(raw, first);
    Line line;
    line.raw = raw;
    if (text.startsWith('[')) {
        line.kind = Kind::Section;
        const qsizetype close = text.indexOf(']');
        line.name = folded(decode(trimBlanks(close < 0 ? text.mid(1) : text.mid(1, close - 1))));
    } else if (!text.startsWith(';') && text.contains('=')) {
        line.kind = Kind::Key;
        line.name = folded(decode(trimBlanks(text.left(text.indexOf('=')))));
    }
    return line;
}

std::optional<IniText::SectionRange> IniText::findSection(const QString &section) const
{
    const QString wanted = folded(section);
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind != Kind::Section || m_lines[i].name != wanted)
            continue;
        qsizetype end = i + 1;
        while (end < m_lines.size() && m_lines[end].kind != Kind::Section)
            ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<qsizetype> IniText::findKey(const SectionRange &range, const QString &key) const
{
    const QString wanted = folded(key);
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        if (m_lines[i].kind == Kind::Key && m_lines[i].name == wanted)
            return i;
    }
    return std::nullopt;
}

std::optional<QByteArray> IniText::value(const QString &section, const QString &key) const
{
    const auto range = findSection(section);
    if (!range)
        return std::nullopt;
    const auto index = findKey(*range, key);
    if (!index)
        return std::nullopt;
    const QByteArray text = lineText(m_lines[*index].raw, *index == 0);
    return unquoted(trimBlanks(text.mid(text.indexOf('=') + 1)));
}

QByteArray IniText::lineEnd() const
{
    return !m_lines.isEmpty() && m_lines.first().raw.endsWith('\r') ? QByteArray("\r") : QByteArray();
}

void IniText::setValue(const QString &section, const QString &key, const QString &value)
{
    const QByteArray cr = lineEnd();
    const auto range = findSection(section);
    if (!range) {
        m_lines.append(parse('[' + section.toUtf8() + ']' + cr, m_lines.isEmpty()));
        m_lines.append(parse(key.toUtf8() + '=' + written(value) + cr, false));
    } else if (const auto index = findKey(*range, key)) {
        Line &line = m_lines[*index];
        const QByteArray text = lineText(line.raw, *index == 0);
        line.raw = trimBlanks(text.left(text.indexOf('='))) + '=' + written(value) + cr;
    } else {
        // After the section's last non-blank line, so blank lines before the next
        // section stay where they are.
        qsizetype insertAt = range->header + 1;
        for (qsizetype i = range->header + 1; i < range->end; ++i) {
            if (!lineText(m_lines[i].raw, false).isEmpty())
                insertAt = i + 1;
        }
        m_lines.insert(insertAt, parse(key.toUtf8() + '=' + written(value) + cr, false));
    }
}

QByteArray IniText::content() const
{
    QByteArray bytes;
    for (const Line &line : m_lines)
        bytes += line.raw + '\n';
    return bytes;
}

QString IniText::decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder gb18030("GB18030");
    return gb18030(bytes);
}
