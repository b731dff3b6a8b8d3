#pragma once
// A set of key writes to one INI file, applied in memory in the order given and
// then written in one atomic replacement: either every write reaches the disk or
// the file stays exactly as it was.

#include <QByteArray>
#include <QString>

class IniFileEdit {
public:
    // Reads the file now; a missing file starts empty and is created by commit().
    explicit IniFileEdit(const QString &file);

    // As modPdf::WriteIniValue, in memory. A value that would not stay on one line
    // makes commit() fail.
    void setValue(const QString &section, const QString &key, const QString &value);
    // The value as it stands after the writes so far; "" when missing.
    QString value(const QString &section, const QString &key) const;

    // Replaces the file through a temporary file in the same directory, renamed
    // over it once fully written. False, with the file untouched, when it cannot be
    // read or written, or a value was refused.
    bool commit();

private:
    QString m_file;
    QByteArray m_content;
    bool m_valid = true;
};
