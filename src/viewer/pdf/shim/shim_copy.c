#include "shim_copy.h"
#include "shim_internal.h"
#include "shim_pages.h"

#include <mupdf/pdf.h>

#include <stdlib.h>
#include <string.h>

struct vshim_page_copy {
    pdf_document *doc;
    pdf_graft_map *map;
};

vshim_page_copy *vshim_new_page_copy(fz_context *ctx, vshim_error *err)
{
    vshim_page_copy *copy = calloc(1, sizeof *copy);
    vshim_clear(err);
    if (!copy) {
        err->code = FZ_ERROR_MEMORY;
        return NULL;
    }
    fz_try(ctx) {
        copy->doc = pdf_create_document(ctx);
        copy->map = pdf_new_graft_map(ctx, copy->doc);
    }
    fz_catch(ctx) {
        vshim_store_caught(ctx, err);
        vshim_drop_page_copy(ctx, copy);
        copy = NULL;
    }
    return copy;
}

void vshim_drop_page_copy(fz_context *ctx, vshim_page_copy *copy)
{
    if (!copy)
        return;
    pdf_drop_graft_map(ctx, copy->map);
    pdf_drop_document(ctx, copy->doc);
    free(copy);
}

/* Paper shows what the Print flag asks for; links and pop-up notes never print. */
static int prints(fz_context *ctx, pdf_annot *annot)
{
    int flags = pdf_annot_flags(ctx, annot);
    enum pdf_annot_type type = pdf_annot_type(ctx, annot);
    return (flags & PDF_ANNOT_IS_PRINT) && !(flags & PDF_ANNOT_IS_HIDDEN)
           && type != PDF_ANNOT_LINK && type != PDF_ANNOT_POPUP;
}

/* Names the appearance in the page's XObjects and draws it where the
 * annotation lies. */
static void draw_annotation(fz_context *ctx, vshim_page_copy *copy, pdf_annot *annot,
                            pdf_obj *xobjects, fz_buffer *drawing)
{
    pdf_obj *appearance = pdf_annot_ap(ctx, annot);
    fz_matrix m;
    char name[32];
    int n = pdf_dict_len(ctx, xobjects);
    if (!appearance || !prints(ctx, annot))
        return;
    do
        fz_snprintf(name, sizeof name, "VellumoAnnot%d", n++);
    while (pdf_dict_gets(ctx, xobjects, name));
    m = pdf_annot_transform(ctx, annot);
    pdf_dict_puts_drop(ctx, xobjects, name, pdf_graft_mapped_object(ctx, copy->map, appearance));
    fz_append_printf(ctx, drawing, "q %g %g %g %g %g %g cm /%s Do Q\n", m.a, m.b, m.c, m.d,
                     m.e, m.f, name);
}

static pdf_obj *new_stream(fz_context *ctx, pdf_document *doc, const char *text)
{
    fz_buffer *buf = fz_new_buffer_from_copied_data(ctx, (const unsigned char *)text, strlen(text));
    pdf_obj *stream = NULL;
    fz_try(ctx)
        stream = pdf_add_stream(ctx, doc, buf, NULL, 0);
    fz_always(ctx)
        fz_drop_buffer(ctx, buf);
    fz_catch(ctx)
        fz_rethrow(ctx);
    return stream;
}

/* The page's own contents run inside q … Q, so whatever state they leave
 * behind cannot move the annotations drawn after them. */
static void append_annotations(fz_context *ctx, vshim_page_copy *copy, pdf_page *src_page,
                               pdf_obj *page)
{
    pdf_obj *resources = NULL, *xobjects = NULL, *contents = NULL, *part = NULL;
    fz_buffer *drawing = NULL;
    pdf_annot *annot;
    fz_var(resources);
    fz_var(xobjects);
    fz_var(contents);
    fz_var(part);
    fz_var(drawing);
    fz_try(ctx) {
        pdf_obj *old = pdf_dict_get(ctx, page, PDF_NAME(Resources));
        pdf_obj *old_xobjects = pdf_dict_get(ctx, old, PDF_NAME(XObject));
        /* Resources may be shared with other pages: the page gets its own. */
        resources = pdf_is_dict(ctx, old) ? pdf_copy_dict(ctx, old) : pdf_new_dict(ctx, copy->doc, 1);
        xobjects = pdf_is_dict(ctx, old_xobjects) ? pdf_copy_dict(ctx, old_xobjects)
                                                  : pdf_new_dict(ctx, copy->doc, 1);
        drawing = fz_new_buffer(ctx, 256);
        for (annot = pdf_first_annot(ctx, src_page); annot; annot = pdf_next_annot(ctx, annot))
            draw_annotation(ctx, copy, annot, xobjects, drawing);
        for (annot = pdf_first_widget(ctx, src_page); annot; annot = pdf_next_widget(ctx, annot))
            draw_annotation(ctx, copy, annot, xobjects, drawing);
        if (drawing->len > 0) {
            pdf_obj *own = pdf_dict_get(ctx, page, PDF_NAME(Contents));
            int i;
            pdf_dict_put(ctx, resources, PDF_NAME(XObject), xobjects);
            pdf_dict_put(ctx, page, PDF_NAME(Resources), resources);
            contents = pdf_new_array(ctx, copy->doc, 3);
            pdf_array_push_drop(ctx, contents, new_stream(ctx, copy->doc, "q\n"));
            if (pdf_is_array(ctx, own))
                for (i = 0; i < pdf_array_len(ctx, own); ++i)
                    pdf_array_push(ctx, contents, pdf_array_get(ctx, own, i));
            else if (own)
                pdf_array_push(ctx, contents, own);
            part = pdf_add_stream(ctx, copy->doc, drawing, NULL, 0);
            pdf_array_push_drop(ctx, contents, new_stream(ctx, copy->doc, "\nQ\n"));
            pdf_array_push(ctx, contents, part);
            pdf_dict_put(ctx, page, PDF_NAME(Contents), contents);
        }
    }
    fz_always(ctx) {
        pdf_drop_obj(ctx, resources);
        pdf_drop_obj(ctx, xobjects);
        pdf_drop_obj(ctx, contents);
        pdf_drop_obj(ctx, part);
        fz_drop_buffer(ctx, drawing);
    }
    fz_catch(ctx)
        fz_rethrow(ctx);
}

int vshim_copy_page(fz_context *ctx, vshim_page_copy *copy, fz_document *src, int page,
                    vshim_error *err)
{
    pdf_page *src_page = NULL;
    int status = 0;
    vshim_clear(err);
    fz_var(src_page);
    fz_try(ctx) {
        pdf_document *from = pdf_document_from_fz_document(ctx, src);
        int at = pdf_count_pages(ctx, copy->doc);
        if (!from)
            fz_throw(ctx, FZ_ERROR_GENERIC, "not a PDF");
        vshim_graft_page(ctx, copy->map, from, page);
        src_page = (pdf_page *)vshim_load_page(ctx, src, page);
        append_annotations(ctx, copy, src_page, pdf_lookup_page_obj(ctx, copy->doc, at));
    }
    fz_always(ctx)
        fz_drop_page(ctx, (fz_page *)src_page);
    fz_catch(ctx) {
        vshim_store_caught(ctx, err);
        status = -1;
    }
    return status;
}

int vshim_save_page_copy(fz_context *ctx, vshim_page_copy *copy, const char *path,
                         vshim_error *err)
{
    int status = 0;
    vshim_clear(err);
    fz_try(ctx) {
        pdf_write_options opts = pdf_default_write_options;
        opts.do_compress = 1;
        opts.do_compress_images = 1;
        opts.do_compress_fonts = 1;
        opts.do_garbage = 1;
        pdf_save_document(ctx, copy->doc, path, &opts);
    }
    fz_catch(ctx) {
        vshim_store_caught(ctx, err);
        status = -1;
    }
    return status;
}
