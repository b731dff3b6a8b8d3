#include "shim_image_header.h"

#include <limits.h>
#include <string.h>

static unsigned long long be(const unsigned char *p, int bytes)
{
    unsigned long long value = 0;
    for (int i = 0; i < bytes; ++i)
        value = value << 8 | p[i];
    return value;
}

/* a * b, or ULLONG_MAX when that does not fit. */
static unsigned long long product(unsigned long long a, unsigned long long b)
{
    return a != 0 && b > ULLONG_MAX / a ? ULLONG_MAX : a * b;
}

/* SOC, then SIZ: Lsiz, Rsiz, Xsiz, Ysiz, XOsiz, YOsiz, four tile fields, Csiz. */
static int codestream_samples(const unsigned char *p, size_t size, unsigned long long *samples)
{
    enum { SIZ = 4, SIZ_BYTES = 38 };
    if (size < SIZ + 2 + SIZ_BYTES || p[0] != 0xFF || p[1] != 0x4F || p[2] != 0xFF || p[3] != 0x51)
        return 0;
    const unsigned char *siz = p + SIZ + 2;
    const unsigned long long x = be(siz + 2, 4), y = be(siz + 6, 4);
    const unsigned long long x0 = be(siz + 10, 4), y0 = be(siz + 14, 4);
    const unsigned long long components = be(siz + 34, 2);
    /* An empty image is refused by the decoder itself. */
    *samples = x > x0 && y > y0 ? product(product(x - x0, y - y0), components) : 0;
    return 1;
}

int vshim_jpx_samples(const unsigned char *data, size_t size, unsigned long long *samples)
{
    if (size >= 2 && data[0] == 0xFF && data[1] == 0x4F)
        return codestream_samples(data, size, samples);
    /* A JP2 file: top-level boxes, the codestream in the "jp2c" box. */
    size_t at = 0;
    while (size - at >= 8) {
        unsigned long long length = be(data + at, 4);
        size_t header = 8;
        if (length == 1) {
            if (size - at < 16)
                return 0;
            length = be(data + at + 8, 8);
            header = 16;
        } else if (length == 0) {
            length = size - at; /* up to the end of the file */
        }
        if (memcmp(data + at + 4, "jp2c", 4) == 0) {
            const size_t held = length < size - at ? (size_t)length : size - at;
            return held > header && codestream_samples(data + at + header, held - header, samples);
        }
        if (length < header || length > size - at)
            return 0;
        at += (size_t)length;
    }
    return 0;
}

static int is_frame_marker(unsigned char marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

int vshim_jpeg_samples(const unsigned char *data, size_t size, unsigned long long *samples)
{
    if (size < 2)
        return 0;
    if (data[0] != 0xFF || data[1] != 0xD8)
        return -1;
    size_t at = 2;
    for (;;) {
        /* libjpeg skips stray bytes, fill bytes and stuffed zeros before a marker. */
        while (at < size && data[at] != 0xFF)
            ++at;
        while (at < size && data[at] == 0xFF)
            ++at;
        if (at >= size)
            return 0;
        const unsigned char marker = data[at++];
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; /* no segment follows */
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA)
            return -1; /* a second start, the end or a scan before any frame */
        if (size - at < 2)
            return 0;
        if (is_frame_marker(marker)) {
            /* Lf, P, Y, X, Nf */
            if (size - at < 8)
                return 0;
            *samples = product(be(data + at + 3, 2) * be(data + at + 5, 2), data[at + 7]);
            return 1;
        }
        const size_t length = (size_t)be(data + at, 2);
        if (length < 2)
            return -1;
        at += length;
    }
}
