#pragma once
// The window designs use the font 宋体; on Linux it is served by a CJK font
// through a substitution registered once.

#include <QFont>

QFont songtiFont(double pointSize);
