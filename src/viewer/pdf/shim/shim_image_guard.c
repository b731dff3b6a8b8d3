/* Stands between MuPDF and the system's JPEG 2000 and JPEG decoders (the link
 * wraps fz_load_jpx and fz_open_dctd, see CMakeLists.txt): an image whose own
 * header declares more than VSHIM_IMAGE_SAMPLE_BUDGET samples, or whose header
 * cannot be read, fails to load instead of being decoded. The failure is a
 * minor one, so MuPDF leaves the image's place on the page blank and draws
 * the rest. */
#include "shim_image_header.h"

#include <mupdf/fitz.h>

fz_pixmap *__real_fz_load_jpx(fz_context *ctx, const unsigned char *data, size_t size,
                              fz_colorspace *cs);
fz_stream *__real_fz_open_dctd(fz_context *ctx, fz_stream *chain, int color_transform,
                               int l2factor, fz_stream *jpegtables);

static void refuse_unless_within_budget(fz_context *ctx, int found, unsigned long long samples)
{
    if (found != 1)
        fz_throw(ctx, FZ_ERROR_MINOR, "image header unreadable; image not decoded");
    if (samples > VSHIM_IMAGE_SAMPLE_BUDGET)
        fz_throw(ctx, FZ_ERROR_MINOR, "image larger than the decoding budget; not decoded");
}

fz_pixmap *__wrap_fz_load_jpx(fz_context *ctx, const unsigned char *data, size_t size,
                              fz_colorspace *cs)
{
    unsigned long long samples = 0;
    const int found = vshim_jpx_samples(data, size, &samples);
    refuse_unless_within_budget(ctx, found, samples);
    return __real_fz_load_jpx(ctx, data, size, cs);
}

/* Reads the start of a JPEG until its frame header; the bytes read are handed
 * on to the decoder ahead of the rest of the stream. */
fz_stream *__wrap_fz_open_dctd(fz_context *ctx, fz_stream *chain, int color_transform,
                               int l2factor, fz_stream *jpegtables)
{
    fz_buffer *head = NULL;
    fz_stream *whole = NULL, *decoder = NULL;
    fz_var(head);
    fz_var(whole);
    fz_try(ctx) {
        unsigned long long samples = 0;
        int found = 0;
        head = fz_new_buffer(ctx, 4096);
        while (found == 0 && head->len < VSHIM_JPEG_HEADER_LIMIT) {
            if (head->cap - head->len < 4096)
                fz_resize_buffer(ctx, head, head->len + 4096);
            const size_t got = fz_read(ctx, chain, head->data + head->len, 4096);
            if (got == 0)
                break;
            head->len += got;
            found = vshim_jpeg_samples(head->data, head->len, &samples);
        }
        refuse_unless_within_budget(ctx, found, samples);
        whole = fz_open_concat(ctx, 2, 0);
        fz_concat_push_drop(ctx, whole, fz_open_buffer(ctx, head));
        fz_concat_push_drop(ctx, whole, fz_keep_stream(ctx, chain));
        decoder = __real_fz_open_dctd(ctx, whole, color_transform, l2factor, jpegtables);
    }
    fz_always(ctx) {
        fz_drop_stream(ctx, whole);
        fz_drop_buffer(ctx, head);
    }
    fz_catch(ctx) {
        fz_rethrow(ctx);
    }
    return decoder;
}
