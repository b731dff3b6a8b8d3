#ifndef VELLUMO_SHIM_IMAGE_HEADER_H
#define VELLUMO_SHIM_IMAGE_HEADER_H
/* The size a JPEG 2000 or JPEG image declares in its own header, which is what
 * the system's openjpeg and libjpeg size their buffers from (whatever the
 * document's /Width and /Height say). Both decoders allocate outside MuPDF's
 * memory cap and cannot be interrupted, so an image is decoded only when its
 * header shows it within VSHIM_IMAGE_SAMPLE_BUDGET. Pure functions on bytes. */

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Pixels times colour components: 40 million pixels in colour (a page scanned
 * at 600 dpi), 120 million in grey. openjpeg holds four bytes per sample and a
 * progressive JPEG two, so one image stays near half a gigabyte at most. */
#define VSHIM_IMAGE_SAMPLE_BUDGET 120000000ULL

/* The bytes of a JPEG read at most to find its frame header; real files keep
 * only a few kilobytes of metadata before it. */
#define VSHIM_JPEG_HEADER_LIMIT (1 << 20)

/* Samples of a JPEG 2000 image, a bare codestream or a JP2 file, from the SIZ
 * marker segment. Returns 1 and sets *samples when the header was found, 0
 * when the data holds none. */
int vshim_jpx_samples(const unsigned char *data, size_t size, unsigned long long *samples);

/* Samples of a JPEG image from its frame (SOFn) header, walking the markers
 * before it as libjpeg does. Returns 1 and sets *samples when found, 0 when
 * more bytes are needed, -1 when the data cannot be a JPEG with a frame. */
int vshim_jpeg_samples(const unsigned char *data, size_t size, unsigned long long *samples);

#ifdef __cplusplus
}
#endif

#endif
