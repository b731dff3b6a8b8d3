#ifndef VELLUMO_SHIM_PATTERN_GUARD_H
#define VELLUMO_SHIM_PATTERN_GUARD_H
/* MuPDF's draw device repeats a tiling pattern's cell over the area to fill in
 * a loop that never looks at the cookie, so a cell a thousandth of a point wide
 * keeps a worker painting for hours, past the page time limit and after the
 * document is closed. The guard works out, before each pattern is drawn, how
 * much that loop would paint (repetitions times the pixels each one paints)
 * and ends the drawing once a render's patterns would pass
 * VSHIM_PATTERN_WORK_BUDGET: the render's watch is expired (shim_watchdog.h),
 * so the page counts as too slow to draw, as it would after the time limit. */

#include <mupdf/fitz.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Pixels painted plus a fixed charge for each repetition: half a second to a
 * second of painting (0.25-0.5 ns a unit, measured). A page filled with a
 * one-point pattern at 300 dpi costs less than a twentieth of it. */
#define VSHIM_PATTERN_WORK_BUDGET 2e9

/* Patterns drawn inside patterns this deep end the drawing too. */
#define VSHIM_PATTERN_GUARD_DEPTH 16

typedef struct vshim_pattern_guard {
    fz_device *device;
    int (*begin_tile)(fz_context *, fz_device *, fz_rect, fz_rect, float, float, fz_matrix, int);
    void (*end_tile)(fz_context *, fz_device *);
    struct vshim_pattern_guard *outer; /* the thread's guard around this one */
    fz_irect scissor[VSHIM_PATTERN_GUARD_DEPTH]; /* where each open pattern paints */
    int depth;
    double work; /* charged so far in this render */
} vshim_pattern_guard;

/* Puts a draw device made with the identity transform, painting into target,
 * under the guard, which lives on the caller's stack until vshim_unguard_patterns;
 * both on the thread that draws. */
void vshim_guard_patterns(vshim_pattern_guard *guard, fz_device *draw, fz_irect target);
void vshim_unguard_patterns(vshim_pattern_guard *guard);

#ifdef __cplusplus
}
#endif

#endif
