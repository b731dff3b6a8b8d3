#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

#include "shim_depth.h"
#include "shim_engine.h"
#include "shim_internal.h"
#include "shim_pages.h"
#include "shim_stream.h"

/* The stream is the document's for as long as it lives; its stop callback
 * only while this open runs. */
static pdf_document *open_source(fz_context *ctx, const vshim_source *source)
{
    fz_stream *stream = vshim_open_source(ctx, source);
    pdf_document *doc = NULL;
    fz_var(doc);
    fz_try(ctx)
        doc = pdf_open_document_with_stream(ctx, stream);
    fz_always(ctx)
        fz_drop_stream(ctx, stream);
    fz_catch(ctx)
        fz_rethrow(ctx);
    return doc;
}

/* Only the PDF handler: other formats MuPDF knows are "not a PDF" here. */
int vshim_open_pdf(fz_context *ctx, const vshim_source *source, const char *user_password,
                   const char *owner_password, fz_document **out, int *page_count,
                   vshim_error *err)
{
    pdf_document *doc = NULL;
    int result = VSHIM_OPENED;
    int pages = 0;
    vshim_clear(err);
    *out = NULL;
    *page_count = 0;

    fz_var(doc);
    fz_try(ctx)
        doc = open_source(ctx, source);
    fz_catch(ctx) {
        vshim_store_caught(ctx, err);
        result = VSHIM_OPEN_FAILED;
    }
    if (result != VSHIM_OPENED)
        return result;

    /* pdf_authenticate_password tries the text as user and as owner password;
     * the user password goes first. */
    fz_try(ctx) {
        if (pdf_needs_password(ctx, doc) && !pdf_authenticate_password(ctx, doc, user_password)
            && !pdf_authenticate_password(ctx, doc, owner_password))
            result = VSHIM_PASSWORD_REFUSED;
    }
    fz_catch(ctx) {
        vshim_store_caught(ctx, err);
        result = err->code == FZ_ERROR_MEMORY ? VSHIM_OPEN_FAILED : VSHIM_PASSWORD_REFUSED;
    }
    if (result != VSHIM_OPENED) {
        pdf_drop_document(ctx, doc);
        return result;
    }

    vshim_drop_deep_structures(ctx, doc);
    fz_try(ctx)
        pages = vshim_count_pages(ctx, (fz_document *)doc);
    fz_catch(ctx) {
        vshim_store_caught(ctx, err);
        pages = 0;
    }
    /* Repairing a damaged file reads it through while the pages are counted;
     * the stop callback's owner is gone once this returns. */
    vshim_forget_stop(doc->file);
    if (pages <= 0) {
        pdf_drop_document(ctx, doc);
        /* A file too big for the allocation cap counts as damaged. */
        return err->code == FZ_ERROR_MEMORY ? VSHIM_OPEN_FAILED : VSHIM_NO_PAGES;
    }
    *out = (fz_document *)doc;
    *page_count = pages;
    return VSHIM_OPENED;
}

void vshim_drop_document(fz_context *ctx, fz_document *doc)
{
    vshim_drop_page_cache(ctx, doc);
    fz_drop_document(ctx, doc);
}

/* Reads the page object's boxes without loading the page's resources, which
 * keeps opening a thousand-page document quick. */
int vshim_page_size(fz_context *ctx, fz_document *doc, int page, float *width, float *height,
                    vshim_error *err)
{
    pdf_obj *obj = NULL;
    int status = 0;
    vshim_clear(err);
    fz_var(obj);
    fz_try(ctx) {
        fz_rect box;
        fz_matrix ctm;
        obj = vshim_keep_page_obj(ctx, (pdf_document *)doc, page);
        pdf_page_obj_transform(ctx, obj, &box, &ctm);
        box = fz_transform_rect(box, ctm);
        *width = box.x1 - box.x0;
        *height = box.y1 - box.y0;
    }
    fz_always(ctx)
        pdf_drop_obj(ctx, obj);
    fz_catch(ctx) {
        vshim_store_caught(ctx, err);
        status = -1;
    }
    return status;
}
