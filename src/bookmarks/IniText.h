#pragma once
// The bytes of an INI file, parsed once: "[section]" headers and "key=value" lines.
// Section and key names match without regard to letter case; the first matching
// section and key win. Edits touch one line and keep every other byte (other
// sections, comments, blank lines, line ends, text in other encodings).

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class IniText {
public:
    explicit IniText(const QByteArray &content = QByteArray());

    // The raw bytes of the value (blanks around it removed, then one pair of
    // matching quotes around it), or nothing when the section or the key is missing.
    std::optional<QByteArray> value(const QString &section, const QString &key) const;

    // Sets key to value: the existing line's value replaced (its key spelling kept),
    // or the key appended to the end of its section, or the section appended to the
    // file. An empty value gives "key=". A value with blanks at either end, or
    // quoted itself, is written in double quotes, so it reads back unchanged. Names
    // and value are written in UTF-8; new lines use the file's own line end.
    void setValue(const QString &section, const QString &key, const QString &value);

    // The file as it stands after the edits, every line ending in '\n'.
    QByteArray content() const;

    // UTF-8 text, or GB18030 when the bytes are not valid UTF-8 (files written under a
    // Chinese Windows code page).
    static QString decode(const QByteArray &bytes);

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        QByteArray raw;     // without its '\n'; a '\r' and a byte order mark kept
        Kind kind = Kind::Other;
        QString name;       // section or key name, blanks trimmed, case folded
    };
    struct SectionRange {
        qsizetype header;
        qsizetype end;      // the next section's header, or the line count
    };

    static Line parse(const QByteArray &raw, bool first);
    std::optional<SectionRange> findSection(const QString &section) const;
    std::optional<qsizetype> findKey(const SectionRange &range, const QString &key) const;
    QByteArray lineEnd() const;

    QList<Line> m_lines;
};
