#pragma once
// The command line as one text: the arguments after the program's name joined with
// single blanks, quotation marks kept, so a quoted path arrives with its quotes.

#include <QStringList>

QString commandLineText(const QStringList &arguments);
// The same from main()'s own arguments, before Qt has started.
QString commandLineText(int argc, const char *const argv[]);
