#include "shim_internal.h"

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
