#pragma once
// The zoom steps of the view's Ctrl+wheel and of the toolbar's zoom commands, so
// a notch and a click agree: 0.25 at a time, refused above 3.0 (so 3.0 still
// steps to 3.25) and below 0.3 (so 0.3 still steps to 0.05).

#include <optional>

namespace zoomSteps {
constexpr double ceiling = 3.0;
constexpr double floor = 0.3;
constexpr double step = 0.25;

// The factor after one step in, or nothing when the current one is refused.
inline std::optional<double> zoomIn(double current)
{
    if (current > ceiling)
        return std::nullopt;
    return current + step;
}

inline std::optional<double> zoomOut(double current)
{
    if (current < floor)
        return std::nullopt;
    return current - step;
}
} // namespace zoomSteps
