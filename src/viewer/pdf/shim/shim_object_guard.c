/* Stands between MuPDF's cross-reference code and its object parser (the link
 * wraps pdf_parse_ind_obj and pdf_parse_stm_obj, see CMakeLists.txt): an
 * object read from a file that would make more than VSHIM_OBJECT_BLOCK_BUDGET
 * blocks (shim_alloc.h) is read as the constant false, which no reader takes
 * for a dictionary, an array or a number. Failing the read would not do, nor
 * would null, which MuPDF keeps as "not read yet": it reads such an object
 * again at every reference to it, seventy times for one page, a tenth of a
 * second each. */
#include "shim_alloc.h"

#include <mupdf/pdf.h>

pdf_obj *__real_pdf_parse_ind_obj(fz_context *ctx, pdf_document *doc, fz_stream *f, int *num,
                                  int *gen, int64_t *stm_ofs, int *try_repair);
pdf_obj *__real_pdf_parse_stm_obj(fz_context *ctx, pdf_document *doc, fz_stream *f,
                                  pdf_lexbuf *buf);

pdf_obj *__wrap_pdf_parse_ind_obj(fz_context *ctx, pdf_document *doc, fz_stream *f, int *num,
                                  int *gen, int64_t *stm_ofs, int *try_repair)
{
    pdf_obj *obj = NULL;
    int too_big = 0;
    fz_var(obj);
    fz_var(too_big);
    vshim_object_read_begin();
    fz_try(ctx)
        obj = __real_pdf_parse_ind_obj(ctx, doc, f, num, gen, stm_ofs, try_repair);
    fz_always(ctx)
        too_big = vshim_object_read_end();
    fz_catch(ctx) {
        if (!too_big)
            fz_rethrow(ctx);
        obj = PDF_FALSE;
        if (stm_ofs)
            *stm_ofs = 0;
        if (try_repair)
            *try_repair = 0; /* the file is sound; repairing would read the object again */
    }
    return obj;
}

pdf_obj *__wrap_pdf_parse_stm_obj(fz_context *ctx, pdf_document *doc, fz_stream *f,
                                  pdf_lexbuf *buf)
{
    pdf_obj *obj = NULL;
    int too_big = 0;
    fz_var(obj);
    fz_var(too_big);
    vshim_object_read_begin();
    fz_try(ctx)
        obj = __real_pdf_parse_stm_obj(ctx, doc, f, buf);
    fz_always(ctx)
        too_big = vshim_object_read_end();
    fz_catch(ctx) {
        if (!too_big)
            fz_rethrow(ctx);
        obj = PDF_FALSE;
    }
    return obj;
}
