#include "bookmarks/IniText.h"

#include <QList>
#include <QStringDecoder>

namespace IniText {
namespace {

enum class Kind { Other, Section, Key };

// One line of the file, split at '\n'. text has any '\r' and a leading UTF-8 byte
// order mark removed; the raw bytes are kept by the caller for rewriting.
struct Line {
    Kind kind = Kind::Other;
    QByteArray name;   // section or key name, blanks trimmed
    QByteArray value;  // key value, blanks trimmed
};

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

Line parse(const QByteArray &raw)
{
    const QByteArray text = trimBlanks(withoutLineEnd(raw));
    Line line;
    if (text.startsWith('[')) {
        line.kind = Kind::Section;
        const qsizetype close = text.indexOf(']');
        line.name = trimBlanks(close < 0 ? text.mid(1) : text.mid(1, close - 1));
    } else if (!text.startsWith(';') && text.contains('=')) {
        const qsizetype equals = text.indexOf('=');
        line.kind = Kind::Key;
        line.name = trimBlanks(text.left(equals));
        line.value = trimBlanks(text.mid(equals + 1));
    }
    return line;
}

bool sameName(const QByteArray &stored, const QString &wanted)
{
    return decode(stored).compare(wanted, Qt::CaseInsensitive) == 0;
}

// The file as raw lines without their '\n'. A final line end yields no extra line.
QList<QByteArray> splitLines(const QByteArray &content)
{
    QList<QByteArray> lines = content.split('\n');
    if (content.isEmpty() || content.endsWith('\n'))
        lines.removeLast();
    return lines;
}

QByteArray stripByteOrderMark(const QByteArray &firstLine)
{
    return firstLine.startsWith("\xEF\xBB\xBF") ? firstLine.mid(3) : firstLine;
}

// Index range [begin, end) of the lines after the first matching section header,
// or nothing when the section is missing.
struct SectionRange {
    qsizetype header;
    qsizetype end;
};

std::optional<SectionRange> findSection(const QList<Line> &lines, const QString &section)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != Kind::Section || !sameName(lines[i].name, section))
            continue;
        qsizetype end = i + 1;
        while (end < lines.size() && lines[end].kind != Kind::Section)
            ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<qsizetype> findKey(const QList<Line> &lines, const SectionRange &range,
                                 const QString &key)
{
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        if (lines[i].kind == Kind::Key && sameName(lines[i].name, key))
            return i;
    }
    return std::nullopt;
}

QList<Line> parseAll(const QList<QByteArray> &rawLines)
{
    QList<Line> lines;
    lines.reserve(rawLines.size());
    for (qsizetype i = 0; i < rawLines.size(); ++i)
        lines.append(parse(i == 0 ? stripByteOrderMark(rawLines[i]) : rawLines[i]));
    return lines;
}

} // namespace

QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder gb18030("GB18030");
    return gb18030(bytes);
}

std::optional<QByteArray> value(const QByteArray &content, const QString &section,
                                const QString &key)
{
    const QList<Line> lines = parseAll(splitLines(content));
    const auto range = findSection(lines, section);
    if (!range)
        return std::nullopt;
    const auto index = findKey(lines, *range, key);
    if (!index)
        return std::nullopt;
    return lines[*index].value;
}

QByteArray withValue(const QByteArray &content, const QString &section, const QString &key,
                     const QString &value)
{
    QList<QByteArray> rawLines = splitLines(content);
    const QList<Line> lines = parseAll(rawLines);
    const bool crlf = !rawLines.isEmpty() && rawLines.first().endsWith('\r');
    const QByteArray cr = crlf ? QByteArray("\r") : QByteArray();
    const QByteArray keyLine = key.toUtf8() + '=' + value.toUtf8() + cr;

    const auto range = findSection(lines, section);
    if (!range) {
        rawLines.append('[' + section.toUtf8() + ']' + cr);
        rawLines.append(keyLine);
    } else if (const auto index = findKey(lines, *range, key)) {
        rawLines[*index] = lines[*index].name + '=' + value.toUtf8() + cr;
    } else {
        // After the section's last non-blank line, so blank lines before the next
        // section stay where they are.
        qsizetype insertAt = range->header + 1;
        for (qsizetype i = range->header + 1; i < range->end; ++i) {
            if (!trimBlanks(withoutLineEnd(rawLines[i])).isEmpty())
                insertAt = i + 1;
        }
        rawLines.insert(insertAt, keyLine);
    }
    return rawLines.join('\n') + '\n';
}

} // namespace IniText
