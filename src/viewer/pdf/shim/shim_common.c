#include "shim_internal.h"
#include "shim_pages.h"

#include <math.h>
#include <string.h>

static void ignore_message(void *user, const char *message)
{
    (void)user;
    (void)message;
}

void vshim_silence(fz_context *ctx)
{
    fz_set_warning_callback(ctx, ignore_message, NULL);
    fz_set_error_callback(ctx, ignore_message, NULL);
}

void vshim_store_caught(fz_context *ctx, vshim_error *err)
{
    const char *message = fz_caught_message(ctx);
    err->code = fz_caught(ctx);
    if (err->code == 0)
        err->code = FZ_ERROR_GENERIC;
    strncpy(err->message, message ? message : "", sizeof err->message - 1);
    err->message[sizeof err->message - 1] = '\0';
}

void vshim_clear(vshim_error *err)
{
    err->code = 0;
    err->message[0] = '\0';
}

void vshim_resolve_target(fz_context *ctx, fz_document *doc, const char *uri, int *page,
                          float *x, float *y)
{
    fz_link_dest dest;
    *x = *y = NAN;
    fz_try(ctx)
        dest = vshim_resolve_link_dest(ctx, doc, uri);
    fz_catch(ctx)
        return; /* a target that cannot be read leads nowhere new */
    *page = fz_page_number_from_location(ctx, doc, dest.loc);
    switch (dest.type) {
    case FZ_LINK_DEST_XYZ:
    case FZ_LINK_DEST_FIT_R:
        *x = dest.x;
        *y = dest.y;
        break;
    case FZ_LINK_DEST_FIT_H:
    case FZ_LINK_DEST_FIT_BH:
        *y = dest.y;
        break;
    case FZ_LINK_DEST_FIT_V:
    case FZ_LINK_DEST_FIT_BV:
        *x = dest.x;
        break;
    default:
        break;
    }
}
