#pragma once
// Reading and editing the bytes of an INI file: "[section]" headers and "key=value"
// lines. Section and key names match without regard to letter case; the first
// matching section and key win. Edits touch one line and keep every other byte
// (other sections, comments, blank lines, line ends, text in other encodings).

#include <QByteArray>
#include <QString>

#include <optional>

namespace IniText {

// The raw bytes of the value (blanks around it removed), or nothing when the
// section or the key is missing.
std::optional<QByteArray> value(const QByteArray &content, const QString &section,
                                const QString &key);

// The content with key set to value: the existing line's value replaced (its key
// spelling kept), or the key appended to the end of its section, or the section
// appended to the file. An empty value gives "key=". Names and value are written
// in UTF-8; new lines use the file's own line end.
QByteArray withValue(const QByteArray &content, const QString &section, const QString &key,
                     const QString &value);

// UTF-8 text, or GB18030 when the bytes are not valid UTF-8 (files written under a
// Chinese Windows code page).
QString decode(const QByteArray &bytes);

} // namespace IniText
