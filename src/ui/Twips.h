#pragma once
// Window layouts are given in twips: 1440 twips = 1 inch = 96 logical pixels,
// so 15 twips make one logical pixel.

#include <QRect>
#include <cmath>

namespace twips {
constexpr double perPixel = 15.0;

inline int toPixels(double tw) { return int(std::lround(tw / perPixel)); }
inline double fromPixels(int px) { return px * perPixel; }
inline QRect rect(double left, double top, double width, double height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}
} // namespace twips
