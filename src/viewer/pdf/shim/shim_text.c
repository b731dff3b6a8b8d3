#include "shim_text.h"

#include "shim_alloc.h"
#include "shim_internal.h"
#include "shim_pages.h"
#include "shim_watchdog.h"

#include <string.h>

fz_context *vshim_new_text_context(void)
{
    fz_context *ctx = fz_new_context(vshim_capped_allocator(), NULL, FZ_STORE_DEFAULT);
    if (ctx)
        vshim_silence(ctx);
    return ctx;
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

/* Copies at most max_chars characters and the lines that hold them; returns how
 * many lines that was. */
static int copy_text(fz_stext_page *text, vshim_text_char *chars, int max_chars,
                     vshim_text_line *lines)
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
            if (char_index == max_chars)
                return line_index;
            lines[line_index].first = char_index;
            lines[line_index].block = block_index;
            for (ch = line->first_char; ch && char_index < max_chars; ch = ch->next)
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
    return line_index;
}

static void *capped_array(size_t count, size_t size)
{
    const fz_alloc_context *alloc = vshim_capped_allocator();
    return alloc->malloc(alloc->user, count * size);
}

static void free_capped(void *p)
{
    const fz_alloc_context *alloc = vshim_capped_allocator();
    alloc->free(alloc->user, p);
}

/* Copies the structured text, at most VSHIM_TEXT_MAX_CHARS characters, into fresh
 * arrays in out; throws when out of memory. */
static void copy_page(fz_context *ctx, fz_stext_page *text, fz_rect bounds, vshim_text_page *out)
{
    int char_count = 0;
    int line_count = 0;

    count_text(text, &char_count, &line_count);
    out->truncated = char_count > VSHIM_TEXT_MAX_CHARS;
    if (out->truncated)
        char_count = VSHIM_TEXT_MAX_CHARS;
    /* One extra element each so an empty page still gets non-NULL arrays. */
    out->chars = capped_array((size_t)char_count + 1, sizeof *out->chars);
    out->lines = capped_array((size_t)line_count + 1, sizeof *out->lines);
    if (!out->chars || !out->lines)
    {
        vshim_free_text_page(out);
        fz_throw(ctx, FZ_ERROR_MEMORY, "out of memory for page text");
    }
    out->line_count = copy_text(text, out->chars, char_count, out->lines);
    out->char_count = char_count;
    out->width = bounds.x1 - bounds.x0;
    out->height = bounds.y1 - bounds.y0;
}

/* Runs the page, or else the recorded list, into structured text and copies it
 * into out; throws on error and when the cookie aborts. */
static void extract(fz_context *ctx, fz_page *page, fz_display_list *list, fz_cookie *cookie,
                    vshim_text_page *out)
{
    fz_stext_page *text = NULL;
    fz_device *device = NULL;
    fz_stext_options options;
    fz_rect bounds = page ? fz_bound_page(ctx, page) : fz_bound_display_list(ctx, list);

    fz_var(text);
    fz_var(device);
    memset(&options, 0, sizeof options);
    fz_try(ctx)
    {
        text = fz_new_stext_page(ctx, bounds);
        device = fz_new_stext_device(ctx, text, &options);
        if (page)
            fz_run_page(ctx, page, device, fz_identity, cookie);
        else
            fz_run_display_list(ctx, list, device, fz_identity, fz_infinite_rect, cookie);
        fz_close_device(ctx, device);
        if (cookie && cookie->abort)
            fz_throw(ctx, FZ_ERROR_ABORT, "text extraction cancelled");
        copy_page(ctx, text, bounds, out);
    }
    fz_always(ctx)
    {
        fz_drop_device(ctx, device);
        fz_drop_stext_page(ctx, text);
    }
    fz_catch(ctx)
        fz_rethrow(ctx);
}

int vshim_extract_page_text(fz_context *ctx, fz_document *doc, int index, vshim_cookie *cookie,
                            vshim_text_page *out, vshim_error *err)
{
    fz_page *page = NULL;
    fz_cookie own_cookie = {0};
    fz_cookie *watched = cookie ? vshim_fz_cookie(cookie) : &own_cookie;
    vshim_watch watch;

    fz_var(page);
    memset(out, 0, sizeof *out);
    vshim_clear(err);
    vshim_watch_start(&watch, watched, vshim_page_time_limit_ms());
    fz_try(ctx)
    {
        page = vshim_load_page(ctx, doc, index);
        extract(ctx, page, NULL, watched, out);
    }
    fz_always(ctx)
        fz_drop_page(ctx, page);
    fz_catch(ctx)
    {
        vshim_store_caught(ctx, err);
        vshim_free_text_page(out);
    }
    /* A page past its time limit is skipped; the abort the watchdog raised is
     * lowered again so the caller's cookie still serves the next page (the
     * caller's own cancel is what stops the whole run). */
    if (vshim_watch_stop(&watch))
        __atomic_store_n(&watched->abort, 0, __ATOMIC_RELAXED);
    return err->code == 0 ? 0 : -1;
}

int vshim_extract_list_text(fz_context *ctx, fz_display_list *list, vshim_cookie *cookie,
                            vshim_text_page *out, vshim_error *err)
{
    vshim_watch watch;

    memset(out, 0, sizeof *out);
    vshim_clear(err);
    vshim_watch_cookie(cookie, &watch);
    fz_try(ctx)
        extract(ctx, NULL, list, vshim_fz_cookie(cookie), out);
    fz_catch(ctx)
    {
        vshim_store_caught(ctx, err);
        vshim_free_text_page(out);
    }
    vshim_unwatch_cookie(cookie, &watch);
    return err->code == 0 ? 0 : -1;
}

void vshim_free_text_page(vshim_text_page *page)
{
    free_capped(page->chars);
    free_capped(page->lines);
    page->chars = NULL;
    page->lines = NULL;
    page->char_count = 0;
    page->line_count = 0;
}
