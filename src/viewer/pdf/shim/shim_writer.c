#include "shim_writer.h"
#include "shim_internal.h"

#include <mupdf/pdf.h>

#include <string.h>

/* Fonts shared by every page: Helvetica for Latin text, the built-in GB font
 * (not embedded, UTF-16 encoded) for Chinese. */
static pdf_obj *add_resources(fz_context *ctx, pdf_document *doc)
{
    pdf_obj *resources = NULL, *latin = NULL, *cjk = NULL;
    fz_font *cjk_font = NULL;
    fz_var(resources);
    fz_var(latin);
    fz_var(cjk);
    fz_var(cjk_font);
    fz_try(ctx) {
        latin = pdf_add_new_dict(ctx, doc, 4);
        pdf_dict_put(ctx, latin, PDF_NAME(Type), PDF_NAME(Font));
        pdf_dict_put(ctx, latin, PDF_NAME(Subtype), PDF_NAME(Type1));
        pdf_dict_put_name(ctx, latin, PDF_NAME(BaseFont), "Helvetica");
        pdf_dict_put(ctx, latin, PDF_NAME(Encoding), PDF_NAME(WinAnsiEncoding));
        cjk_font = fz_new_cjk_font(ctx, FZ_ADOBE_GB);
        cjk = pdf_add_cjk_font(ctx, doc, cjk_font, FZ_ADOBE_GB, 0, 0);
        resources = pdf_add_new_dict(ctx, doc, 1);
        {
            pdf_obj *fonts = pdf_dict_put_dict(ctx, resources, PDF_NAME(Font), 2);
            pdf_dict_puts(ctx, fonts, "F1", latin);
            pdf_dict_puts(ctx, fonts, "F2", cjk);
        }
    }
    fz_always(ctx) {
        pdf_drop_obj(ctx, latin);
        pdf_drop_obj(ctx, cjk);
        fz_drop_font(ctx, cjk_font);
    }
    fz_catch(ctx) {
        pdf_drop_obj(ctx, resources);
        fz_rethrow(ctx);
    }
    return resources;
}

static void add_pages(fz_context *ctx, pdf_document *doc, const vshim_out_document *src,
                      pdf_obj *resources)
{
    fz_buffer *contents = NULL;
    pdf_obj *page = NULL;
    int i;
    fz_var(contents);
    fz_var(page);
    fz_try(ctx) {
        for (i = 0; i < src->page_count; ++i) {
            const vshim_out_page *p = &src->pages[i];
            fz_rect box = fz_make_rect(0, 0, p->width, p->height);
            contents = fz_new_buffer_from_copied_data(ctx, (const unsigned char *)p->content,
                                                      p->content_len);
            page = pdf_add_page(ctx, doc, box, 0, resources, contents);
            pdf_insert_page(ctx, doc, -1, page);
            pdf_drop_obj(ctx, page);
            page = NULL;
            fz_drop_buffer(ctx, contents);
            contents = NULL;
        }
    }
    fz_always(ctx) {
        pdf_drop_obj(ctx, page);
        fz_drop_buffer(ctx, contents);
    }
    fz_catch(ctx)
        fz_rethrow(ctx);
}

/* Builds the /Outlines tree: every item open, each with an /XYZ destination
 * where it names a point, else /Fit. */
static void add_outline(fz_context *ctx, pdf_document *doc, const vshim_out_document *src)
{
    pdf_obj *root = NULL;
    pdf_obj **items = NULL;
    int *counts = NULL;
    int i, j, n = src->outline_count;
    fz_var(root);
    fz_var(items);
    fz_var(counts);
    fz_try(ctx) {
        root = pdf_add_new_dict(ctx, doc, 4);
        pdf_dict_put(ctx, root, PDF_NAME(Type), PDF_NAME(Outlines));
        items = fz_calloc(ctx, n, sizeof *items);
        counts = fz_calloc(ctx, n + 1, sizeof *counts); /* counts[n] is the root */
        for (i = 0; i < n; ++i) {
            const vshim_out_outline_item *it = &src->outline[i];
            pdf_obj *parent = it->parent >= 0 && it->parent < i ? items[it->parent] : root;
            pdf_obj *dest;
            items[i] = pdf_add_new_dict(ctx, doc, 6);
            pdf_dict_put_text_string(ctx, items[i], PDF_NAME(Title), it->title);
            pdf_dict_put(ctx, items[i], PDF_NAME(Parent), parent);
            dest = pdf_dict_put_array(ctx, items[i], PDF_NAME(Dest), 5);
            pdf_array_push(ctx, dest, pdf_lookup_page_obj(ctx, doc, it->page));
            if (it->top >= 0) {
                pdf_array_push(ctx, dest, PDF_NAME(XYZ));
                pdf_array_push(ctx, dest, PDF_NULL);
                pdf_array_push_real(ctx, dest, src->pages[it->page].height - it->top);
                pdf_array_push(ctx, dest, PDF_NULL);
            } else {
                pdf_array_push(ctx, dest, PDF_NAME(Fit));
            }
        }
        /* Link each item to its parent and siblings; children follow their parent. */
        for (i = n - 1; i >= 0; --i) {
            int parent = src->outline[i].parent >= 0 && src->outline[i].parent < i
                             ? src->outline[i].parent : n;
            counts[parent] += 1 + counts[i];
        }
        for (i = -1; i < n; ++i) {
            pdf_obj *parent = i < 0 ? root : items[i];
            int want = i < 0 ? -1 : i;
            pdf_obj *prev = NULL;
            for (j = 0; j < n; ++j) {
                int p = src->outline[j].parent >= 0 && src->outline[j].parent < j
                            ? src->outline[j].parent : -1;
                if (p != want)
                    continue;
                if (prev) {
                    pdf_dict_put(ctx, prev, PDF_NAME(Next), items[j]);
                    pdf_dict_put(ctx, items[j], PDF_NAME(Prev), prev);
                } else {
                    pdf_dict_put(ctx, parent, PDF_NAME(First), items[j]);
                }
                pdf_dict_put(ctx, parent, PDF_NAME(Last), items[j]);
                prev = items[j];
            }
            if (counts[i < 0 ? n : i] > 0)
                pdf_dict_put_int(ctx, parent, PDF_NAME(Count), counts[i < 0 ? n : i]);
        }
        pdf_dict_put(ctx, pdf_dict_get(ctx, pdf_trailer(ctx, doc), PDF_NAME(Root)),
                     PDF_NAME(Outlines), root);
    }
    fz_always(ctx) {
        if (items)
            for (i = 0; i < n; ++i)
                pdf_drop_obj(ctx, items[i]);
        fz_free(ctx, items);
        fz_free(ctx, counts);
        pdf_drop_obj(ctx, root);
    }
    fz_catch(ctx)
        fz_rethrow(ctx);
}

int vshim_write_pdf(const vshim_out_document *src, const char *path, vshim_error *err)
{
    fz_context *ctx = fz_new_context(NULL, NULL, FZ_STORE_DEFAULT);
    pdf_document *doc = NULL;
    pdf_obj *resources = NULL;
    int status = 0;
    vshim_clear(err);
    if (!ctx) {
        err->code = FZ_ERROR_MEMORY;
        strcpy(err->message, "cannot create MuPDF context");
        return -1;
    }
    vshim_silence(ctx);
    fz_var(doc);
    fz_var(resources);
    fz_try(ctx) {
        pdf_write_options opts = pdf_default_write_options;
        doc = pdf_create_document(ctx);
        resources = add_resources(ctx, doc);
        add_pages(ctx, doc, src, resources);
        if (src->outline_count > 0)
            add_outline(ctx, doc, src);
        opts.do_compress = src->compress;
        opts.do_garbage = 1;
        if (src->user_password[0] || src->owner_password[0]) {
            opts.do_encrypt = PDF_ENCRYPT_AES_256;
            opts.permissions = -1;
            strncpy(opts.upwd_utf8, src->user_password, sizeof opts.upwd_utf8 - 1);
            strncpy(opts.opwd_utf8, src->owner_password, sizeof opts.opwd_utf8 - 1);
        }
        pdf_save_document(ctx, doc, path, &opts);
    }
    fz_always(ctx) {
        pdf_drop_obj(ctx, resources);
        pdf_drop_document(ctx, doc);
    }
    fz_catch(ctx) {
        vshim_store_caught(ctx, err);
        status = -1;
    }
    fz_drop_context(ctx);
    return status;
}
