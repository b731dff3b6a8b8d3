#pragma once
// A tool tip guesses its format: text that looks like markup is laid out as
// HTML, and an <img> in it is read from disk. Text from a document goes through
// this, so it is always shown as written.

#include <QString>

QString plainToolTip(const QString &text);
