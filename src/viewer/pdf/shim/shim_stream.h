#ifndef VELLUMO_SHIM_STREAM_H
#define VELLUMO_SHIM_STREAM_H
/* A MuPDF stream over a vshim_source (shim_source.h). Never included from C++. */

#include "shim_source.h"

#include <mupdf/fitz.h>

/* Throws as MuPDF does. The stream reads the source's bytes in place or its
 * descriptor by offset, so streams over one source do not disturb each other. */
fz_stream *vshim_open_source(fz_context *ctx, const vshim_source *source);
/* The open is over: the source's stop callback is no longer asked (its
 * owner may be gone), only the page time limit still ends a long read. */
void vshim_forget_stop(fz_stream *stream);

#endif
