#include "shim_pattern_guard.h"
#include "shim_watchdog.h"

#include <math.h>

/* Charged for each repetition besides its pixels: the loop's own work for one
 * cell, measured at about 60 ns, as long as painting some 150 pixels takes. */
#define REPETITION_CHARGE 128.0

static __thread vshim_pattern_guard *innermost;

static vshim_pattern_guard *guard_of(fz_device *device)
{
    vshim_pattern_guard *guard = innermost;
    while (guard && guard->device != device)
        guard = guard->outer;
    return guard;
}

static double irect_pixels(fz_irect r)
{
    return r.x1 > r.x0 && r.y1 > r.y0 ? ((double)r.x1 - r.x0) * ((double)r.y1 - r.y0) : 0;
}

/* The repetitions along one axis, as the draw device counts them: every step
 * that puts part of a cell (widened by its overlap with the next) on the area. */
static double repetitions(double area0, double area1, double cell0, double overlap, double step)
{
    if (!(area1 > area0))
        return 0;
    if (!(step > 0) || !isfinite(step))
        return INFINITY;
    return ceil((area1 - cell0 + overlap) / step) - floor((area0 - cell0 - overlap) / step);
}

/* What drawing one pattern costs: area, view, steps and ctm as the draw device
 * receives them, painting into scissor (device space). */
static double pattern_work(fz_rect area, fz_rect view, float xstep, float ystep, fz_matrix ctm,
                           fz_irect scissor)
{
    const fz_matrix to_pattern = fz_invert_matrix(ctm);
    const fz_irect cell_pixels = fz_irect_from_rect(fz_transform_rect(view, ctm));
    const fz_rect reach =
        fz_transform_rect(fz_expand_rect(fz_rect_from_irect(scissor), 1), to_pattern);
    const fz_rect cell =
        fz_transform_rect(fz_expand_rect(fz_rect_from_irect(cell_pixels), 1), to_pattern);
    const fz_rect painted = fz_intersect_rect(area, reach);
    const double step_x = fabs((double)xstep), step_y = fabs((double)ystep);
    const double overlap_x = fmax(0, (double)cell.x1 - cell.x0 - step_x);
    const double overlap_y = fmax(0, (double)cell.y1 - cell.y0 - step_y);
    const double across = repetitions(painted.x0, painted.x1, cell.x0, overlap_x, step_x);
    const double down = repetitions(painted.y0, painted.y1, cell.y0, overlap_y, step_y);
    const double each = fmin(irect_pixels(cell_pixels), irect_pixels(scissor));
    if (across == 0 || down == 0)
        return 0;
    return across * down * (REPETITION_CHARGE + each);
}

static int guarded_begin_tile(fz_context *ctx, fz_device *device, fz_rect area, fz_rect view,
                              float xstep, float ystep, fz_matrix ctm, int id)
{
    vshim_pattern_guard *guard = guard_of(device);
    const fz_irect scissor = guard->scissor[guard->depth];
    const double work = pattern_work(area, view, xstep, ystep, ctm, scissor);
    guard->work += work;
    if (!(guard->work <= VSHIM_PATTERN_WORK_BUDGET)) {
        vshim_watch_expire_here();
        fz_throw(ctx, FZ_ERROR_GENERIC, "tiling pattern too costly to draw");
    }
    /* A pattern inside this one paints into this one's cell. */
    if (guard->depth + 1 < VSHIM_PATTERN_GUARD_DEPTH) {
        guard->scissor[guard->depth + 1] = fz_irect_from_rect(fz_transform_rect(view, ctm));
        ++guard->depth;
    } else {
        fz_throw(ctx, FZ_ERROR_GENERIC, "tiling patterns nested too deep");
    }
    return guard->begin_tile(ctx, device, area, view, xstep, ystep, ctm, id);
}

static void guarded_end_tile(fz_context *ctx, fz_device *device)
{
    vshim_pattern_guard *guard = guard_of(device);
    if (guard->depth > 0)
        --guard->depth;
    guard->end_tile(ctx, device);
}

void vshim_guard_patterns(vshim_pattern_guard *guard, fz_device *draw, fz_irect target)
{
    guard->device = draw;
    guard->begin_tile = draw->begin_tile;
    guard->end_tile = draw->end_tile;
    guard->scissor[0] = target;
    guard->depth = 0;
    guard->work = 0;
    guard->outer = innermost;
    innermost = guard;
    draw->begin_tile = guarded_begin_tile;
    draw->end_tile = guarded_end_tile;
}

void vshim_unguard_patterns(vshim_pattern_guard *guard)
{
    if (!guard->device)
        return;
    /* A device that failed is disabled by MuPDF, its calls emptied. */
    if (guard->device->begin_tile == guarded_begin_tile)
        guard->device->begin_tile = guard->begin_tile;
    if (guard->device->end_tile == guarded_end_tile)
        guard->device->end_tile = guard->end_tile;
    innermost = guard->outer;
    guard->device = NULL;
}
