#pragma once
// The program's window icon, drawn in code so it stays sharp at every size.

#include <QIcon>
#include <QPixmap>

QPixmap appIconPixmap(int size);
QIcon appIcon();
