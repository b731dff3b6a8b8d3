#pragma once
// File names as the system holds them. Qt turns a path into bytes as UTF-8, so a
// name in other bytes (GBK, from an older Chinese system) cannot make the round
// trip through a QString: such a name is shown decoded as well as it can be, and
// that text is remembered with the bytes it stands for, so the file still opens
// by them.

#include <QByteArray>
#include <QString>

// The path for a file name given as bytes (a command-line argument): the text
// itself when it is UTF-8; otherwise, made absolute, its text read as GB18030,
// remembered with the bytes.
QString pathFromNativeBytes(const QByteArray &bytes);

// The bytes to hand the system for a path: those remembered for it, else its
// UTF-8 form. Safe on any thread.
QByteArray nativeFileName(const QString &path);
