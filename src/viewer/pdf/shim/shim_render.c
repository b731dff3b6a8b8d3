#include <mupdf/fitz.h>

#include "shim_engine.h"
#include "shim_internal.h"
#include "shim_pages.h"
#include "shim_pattern_guard.h"
#include "shim_watchdog.h"

fz_display_list *vshim_record_page(fz_context *ctx, fz_document *doc, int number,
                                   vshim_cookie *cookie, vshim_error *err)
{
    fz_page *page = NULL;
    fz_display_list *list = NULL;
    fz_device *dev = NULL;
    vshim_watch watch;
    vshim_clear(err);
    vshim_watch_cookie(cookie, &watch);
    fz_var(page);
    fz_var(list);
    fz_var(dev);
    fz_try(ctx) {
        page = vshim_load_page(ctx, doc, number);
        list = fz_new_display_list(ctx, fz_bound_page(ctx, page));
        dev = fz_new_list_device(ctx, list);
        fz_run_page(ctx, page, dev, fz_identity, vshim_fz_cookie(cookie));
        fz_close_device(ctx, dev);
    }
    fz_always(ctx) {
        fz_drop_device(ctx, dev);
        fz_drop_page(ctx, page);
    }
    fz_catch(ctx) {
        vshim_store_caught(ctx, err);
        fz_drop_display_list(ctx, list);
        list = NULL;
    }
    vshim_unwatch_cookie(cookie, &watch);
    if (list && vshim_cookie_aborted(cookie)) {
        fz_drop_display_list(ctx, list);
        list = NULL;
    }
    return list;
}

void vshim_drop_display_list(fz_context *ctx, fz_display_list *list)
{
    fz_drop_display_list(ctx, list);
}

void vshim_display_list_size(fz_context *ctx, fz_display_list *list, float *width, float *height)
{
    fz_rect bounds = fz_bound_display_list(ctx, list);
    *width = bounds.x1 - bounds.x0;
    *height = bounds.y1 - bounds.y0;
}

/* Page space -> page image: scale, rotate clockwise, then move the rotated
 * page's top-left corner to the origin. */
static fz_matrix page_to_image(fz_display_list *list, fz_context *ctx, float scale, int rotation)
{
    fz_matrix ctm = fz_pre_rotate(fz_scale(scale, scale), (float)rotation);
    fz_rect bounds = fz_transform_rect(fz_bound_display_list(ctx, list), ctm);
    return fz_concat(ctm, fz_translate(-bounds.x0, -bounds.y0));
}

int vshim_render(fz_context *ctx, fz_display_list *list, float scale, int rotation, int x,
                 int y, int w, int h, unsigned char *samples, int stride, int bgra,
                 vshim_cookie *cookie, vshim_error *err)
{
    fz_pixmap *pix = NULL;
    fz_device *dev = NULL;
    int status = 0;
    vshim_watch watch;
    vshim_pattern_guard guard = {0};
    vshim_clear(err);
    vshim_watch_cookie(cookie, &watch);
    fz_var(pix);
    fz_var(dev);
    fz_try(ctx) {
        fz_colorspace *cs = bgra ? fz_device_bgr(ctx) : fz_device_rgb(ctx);
        fz_matrix ctm = page_to_image(list, ctx, scale, rotation);
        fz_rect tile = fz_make_rect((float)x, (float)y, (float)(x + w), (float)(y + h));
        pix = fz_new_pixmap_with_data(ctx, cs, w, h, NULL, 1, stride, samples);
        pix->x = x;
        pix->y = y;
        fz_clear_pixmap_with_value(ctx, pix, 255);
        dev = fz_new_draw_device(ctx, fz_identity, pix);
        vshim_guard_patterns(&guard, dev, fz_make_irect(x, y, x + w, y + h));
        fz_run_display_list(ctx, list, dev, ctm, tile, vshim_fz_cookie(cookie));
        fz_close_device(ctx, dev);
    }
    fz_always(ctx) {
        vshim_unguard_patterns(&guard);
        fz_drop_device(ctx, dev);
        fz_drop_pixmap(ctx, pix);
    }
    fz_catch(ctx) {
        vshim_store_caught(ctx, err);
        status = -1;
    }
    vshim_unwatch_cookie(cookie, &watch);
    if (status == 0 && vshim_cookie_aborted(cookie))
        status = 1;
    return status;
}
