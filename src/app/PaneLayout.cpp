#include "app/PaneLayout.h"

#include <algorithm>

std::optional<PaneRect> computePaneLayout(bool minimized, float outerWidth, float outerHeight,
                                          float picbarHeight)
{
    if (minimized)
        return std::nullopt;
    PaneRect r;
    r.left = 30;
    r.top = picbarHeight + 10;
    r.width = std::max(0.0f, outerWidth - 200);
    r.height = std::max(0.0f, outerHeight - picbarHeight - 850);
    return r;
}
