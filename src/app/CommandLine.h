#pragma once
// The command line as one text: the arguments after the program's name joined with
// single blanks, quotation marks kept, so a quoted path arrives with its quotes. A
// path whose bytes are not UTF-8 still opens by them (see NativeFileName.h).

#include <QString>

QString commandLineText(int argc, const char *const argv[]);
