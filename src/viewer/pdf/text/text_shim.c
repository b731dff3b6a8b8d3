#include "text_shim.h"

#include "viewer/pdf/shim/shim_alloc.h"
#include "viewer/pdf/shim/shim_depth.h"
#include "viewer/pdf/shim/shim_engine.h"
#include "viewer/pdf/shim/shim_internal.h"
#include "viewer/pdf/shim/shim_pages.h"
#include "viewer/pdf/shim/shim_watchdog.h"

#include <stdlib.h>
#include <string.h>

static void ignore_message(void *user, const char *message)
{
    (void)user;
    (void)message;
}

static void clear_error(TextShimError *err)
{
    err->code = FZ_ERROR_NONE;
    err->message[0] = '\0';
}

static void copy_caught(fz_context *ctx, TextShimError *err)
{
    const char *message = fz_caught_message(ctx);
    err->code = fz_caught(ctx);
    if (err->code == FZ_ERROR_NONE)
        err->code = FZ_ERROR_GENERIC;
    strncpy(err->message, message ? message : "", sizeof err->message - 1);
    err->message[sizeof err->message - 1] = '\0';
}

fz_context *text_shim_new_context(void)
{
    fz_context *ctx = fz_new_context(vshim_capped_allocator(), NULL, FZ_STORE_DEFAULT);
    int registered = 0;

    if (!ctx)
        return NULL;
    fz_var(registered);
    fz_set_warning_callback(ctx, ignore_message, NULL);
    fz_set_error_callback(ctx, ignore_message, NULL);
    fz_try(ctx)
    {
        fz_register_document_handlers(ctx);
        registered = 1;
    }
    fz_catch(ctx)
        registered = 0;
    if (!registered)
    {
        fz_drop_context(ctx);
        return NULL;
    }
    return ctx;
}

static int authenticate(fz_context *ctx, fz_document *doc, const char *user_password,
                        const char *owner_password)
{
    if (!fz_needs_password(ctx, doc))
        return 1;
    if (fz_authenticate_password(ctx, doc, user_password))
        return 1;
    return fz_authenticate_password(ctx, doc, owner_password) != 0;
}

fz_document *text_shim_open(fz_context *ctx, const char *path, const char *user_password,
                            const char *owner_password, int *status, TextShimError *err)
{
    fz_document *doc = NULL;
    fz_document *result = NULL;
    int authenticated = 0;

    fz_var(doc);
    fz_var(result);
    fz_var(authenticated);
    clear_error(err);
    *status = TEXT_SHIM_OPEN_FAILED;
    fz_try(ctx)
    {
        doc = fz_open_document(ctx, path);
        authenticated = authenticate(ctx, doc, user_password, owner_password);
        if (authenticated && pdf_specifics(ctx, doc))
            vshim_drop_deep_structures(ctx, pdf_specifics(ctx, doc));
        if (authenticated)
        {
            result = doc;
            doc = NULL;
        }
    }
    fz_always(ctx)
        fz_drop_document(ctx, doc);
    fz_catch(ctx)
        copy_caught(ctx, err);
    if (result)
        *status = TEXT_SHIM_OPENED;
    else if (err->code == FZ_ERROR_NONE && !authenticated)
        *status = TEXT_SHIM_WRONG_PASSWORD;
    return result;
}

int text_shim_count_pages(fz_context *ctx, fz_document *doc, TextShimError *err)
{
    int count = -1;

    fz_var(count);
    clear_error(err);
    fz_try(ctx)
        count = vshim_count_pages(ctx, doc);
    fz_catch(ctx)
    {
        copy_caught(ctx, err);
        count = -1;
    }
    return count;
}

static void count_text(fz_stext_page *text, int *chars, int *lines)
{
    fz_stext_block *block;
    fz_stext_line *line;
    fz_stext_char *ch;

    *chars = 0;
    *lines = 0;
    for (block = text->first_block; block; block = block->next)
    {
        if (block->type != FZ_STEXT_BLOCK_TEXT)
            continue;
        for (line = block->u.t.first_line; line; line = line->next)
        {
            ++*lines;
            for (ch = line->first_char; ch; ch = ch->next)
                ++*chars;
        }
    }
}

static void copy_text(fz_stext_page *text, TextShimChar *chars, TextShimLine *lines)
{
    fz_stext_block *block;
    fz_stext_line *line;
    fz_stext_char *ch;
    int block_index = 0;
    int char_index = 0;
    int line_index = 0;

    for (block = text->first_block; block; block = block->next)
    {
        if (block->type != FZ_STEXT_BLOCK_TEXT)
            continue;
        for (line = block->u.t.first_line; line; line = line->next)
        {
            lines[line_index].first = char_index;
            lines[line_index].block = block_index;
            for (ch = line->first_char; ch; ch = ch->next)
            {
                fz_rect box = fz_rect_from_quad(ch->quad);
                chars[char_index].c = ch->c;
                chars[char_index].x0 = box.x0;
                chars[char_index].y0 = box.y0;
                chars[char_index].x1 = box.x1;
                chars[char_index].y1 = box.y1;
                ++char_index;
            }
            lines[line_index].count = char_index - lines[line_index].first;
            ++line_index;
        }
        ++block_index;
    }
}

/* Copies the structured text into fresh arrays in out; throws when out of memory. */
static void copy_page(fz_context *ctx, fz_stext_page *text, fz_rect bounds, TextShimPage *out)
{
    int char_count = 0;
    int line_count = 0;

    count_text(text, &char_count, &line_count);
    /* One extra element each so an empty page still gets non-NULL arrays. */
    out->chars = malloc(sizeof *out->chars * (size_t)(char_count + 1));
    out->lines = malloc(sizeof *out->lines * (size_t)(line_count + 1));
    if (!out->chars || !out->lines)
    {
        text_shim_free_page(out);
        fz_throw(ctx, FZ_ERROR_MEMORY, "out of memory for page text");
    }
    copy_text(text, out->chars, out->lines);
    out->char_count = char_count;
    out->line_count = line_count;
    out->width = bounds.x1 - bounds.x0;
    out->height = bounds.y1 - bounds.y0;
}

int text_shim_extract_page(fz_context *ctx, fz_document *doc, int index, fz_cookie *cookie,
                           TextShimPage *out, TextShimError *err)
{
    fz_page *page = NULL;
    fz_stext_page *text = NULL;
    fz_device *device = NULL;
    fz_rect bounds = fz_empty_rect;
    fz_stext_options options;
    fz_cookie own_cookie = {0};
    vshim_watch watch;

    fz_var(page);
    fz_var(text);
    fz_var(device);
    fz_var(bounds);
    memset(out, 0, sizeof *out);
    memset(&options, 0, sizeof options);
    clear_error(err);
    if (!cookie)
        cookie = &own_cookie;
    vshim_watch_start(&watch, cookie, vshim_page_time_limit_ms());
    fz_try(ctx)
    {
        page = fz_load_page(ctx, doc, index);
        bounds = fz_bound_page(ctx, page);
        text = fz_new_stext_page(ctx, bounds);
        device = fz_new_stext_device(ctx, text, &options);
        fz_run_page(ctx, page, device, fz_identity, cookie);
        fz_close_device(ctx, device);
        if (cookie && cookie->abort)
            fz_throw(ctx, FZ_ERROR_ABORT, "text extraction cancelled");
        copy_page(ctx, text, bounds, out);
    }
    fz_always(ctx)
    {
        fz_drop_device(ctx, device);
        fz_drop_stext_page(ctx, text);
        fz_drop_page(ctx, page);
    }
    fz_catch(ctx)
    {
        copy_caught(ctx, err);
        text_shim_free_page(out);
    }
    /* A page past its time limit is skipped; the abort the watchdog raised is
     * lowered again so the caller's cookie still serves the next page (the
     * caller's own cancel is what stops the whole run). */
    if (vshim_watch_stop(&watch))
        __atomic_store_n(&cookie->abort, 0, __ATOMIC_RELAXED);
    return err->code == FZ_ERROR_NONE ? 0 : -1;
}

int text_shim_extract_list(fz_context *ctx, fz_display_list *list, struct vshim_cookie *cookie,
                           TextShimPage *out, TextShimError *err)
{
    fz_stext_page *text = NULL;
    fz_device *device = NULL;
    fz_rect bounds = fz_empty_rect;
    fz_stext_options options;
    vshim_watch watch;

    fz_var(text);
    fz_var(device);
    fz_var(bounds);
    memset(out, 0, sizeof *out);
    memset(&options, 0, sizeof options);
    clear_error(err);
    vshim_watch_cookie(cookie, &watch);
    fz_try(ctx)
    {
        bounds = fz_bound_display_list(ctx, list);
        text = fz_new_stext_page(ctx, bounds);
        device = fz_new_stext_device(ctx, text, &options);
        fz_run_display_list(ctx, list, device, fz_identity, fz_infinite_rect,
                            vshim_fz_cookie(cookie));
        fz_close_device(ctx, device);
        if (vshim_cookie_aborted(cookie))
            fz_throw(ctx, FZ_ERROR_ABORT, "text extraction cancelled");
        copy_page(ctx, text, bounds, out);
    }
    fz_always(ctx)
    {
        fz_drop_device(ctx, device);
        fz_drop_stext_page(ctx, text);
    }
    fz_catch(ctx)
    {
        copy_caught(ctx, err);
        text_shim_free_page(out);
    }
    vshim_unwatch_cookie(cookie, &watch);
    return err->code == FZ_ERROR_NONE ? 0 : -1;
}

void text_shim_free_page(TextShimPage *page)
{
    free(page->chars);
    free(page->lines);
    page->chars = NULL;
    page->lines = NULL;
    page->char_count = 0;
    page->line_count = 0;
}
