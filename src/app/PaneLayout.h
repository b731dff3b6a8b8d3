#pragma once
// Where the viewer and the start-page pane go for a given window size, in twips.

#include <optional>

struct PaneRect {
    float left = 0, top = 0, width = 0, height = 0;
};

// Returns nothing for a minimized window: the panes stay where they are.
// The outer size includes the frame, title bar and menu bar; a size that would
// come out negative is clamped to zero.
std::optional<PaneRect> computePaneLayout(bool minimized, float outerWidth, float outerHeight,
                                          float picbarHeight);
