#pragma once
// Helpers shared by the main window and its dialogs: the INI access behind the
// bookmark store.

#include <QString>

namespace modPdf {
// Sets key in section of file, creating the file and the section when missing; an
// empty value keeps "key=". The file is replaced atomically (a temporary file in
// the same directory, flushed, then renamed), so a failed write leaves the old file
// as it was. Returns false when the file could not be written.
bool WriteIniValue(const QString &section, const QString &key, const QString &value,
                   const QString &file);

// The value of key in section of file, cut to 10239 characters and ending before
// any NUL; "" when the file, the section or the key is missing. Not re-entrant:
// it goes through the module's value buffer.
QString ReadIniValue(const QString &section, const QString &key, const QString &file);

// The text of the value buffer from the read position up to the next NUL; moves
// the position past that NUL (back to the start when there is none).
QString NextNullField();

// True exactly when a file (not a directory) exists at path.
bool FileExists(const QString &path);
} // namespace modPdf
