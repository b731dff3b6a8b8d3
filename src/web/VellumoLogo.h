#pragma once
// The logo of the About window: the program's sheet emblem beside the name,
// 119 x 31 pixels on white, 24 bits per pixel.

#include <QImage>

QImage vellumoLogo();
