#pragma once
// One value of an INI file's bytes as stored, undecoded: what a test expects
// bk.ini to hold, read past the store's own rules.

#include "bookmarks/IniText.h"

#include <QByteArray>
#include <QString>

// "(missing)" when the section has no such key.
inline QByteArray iniValue(const QByteArray &content, const QString &section, const QString &key)
{
    return IniText(content).value(section, key).value_or("(missing)");
}
