#pragma once
// One read-modify-write of an INI file: the file is locked against other edits and
// read once; the writes are applied in memory in the order given and then written
// in one atomic replacement, so either every write reaches the disk or the file
// stays exactly as it was.

#include "bookmarks/FileLock.h"
#include "bookmarks/IniText.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Larger files are neither read in full nor written: a store of twenty bookmarks
// takes a few kilobytes.
inline constexpr qint64 kMaxIniFileBytes = 1024 * 1024;

// The bytes of a regular file of at most kMaxIniFileBytes; an empty array when it
// does not exist; nothing when it cannot be read or is too large.
std::optional<QByteArray> readIniFile(const QString &file);

// The same, except that a larger file gives its first lines, as many whole lines as
// fit in kMaxIniFileBytes: enough to list what it holds without reading it all.
std::optional<QByteArray> readIniFileStart(const QString &file);

class IniFileEdit {
public:
    // Locks the file (through "<file>.lock") and reads it; a missing file starts
    // empty and is created by commit().
    explicit IniFileEdit(const QString &file);

    // As read, with the writes so far.
    const IniText &text() const { return m_text; }

    // A value that would not stay on one line makes commit() fail.
    void setValue(const QString &section, const QString &key, const QString &value);

    // Replaces the file through a temporary file in the same directory, renamed
    // over it once fully written. False, with the file untouched, when the lock was
    // not had, the file could not be read in full or written, is a symbolic link, a
    // value was refused, or the result would pass kMaxIniFileBytes (and so could no
    // longer be read back).
    bool commit();

private:
    QString m_file;
    FileLock m_lock;
    IniText m_text;
    bool m_valid = true;
};
