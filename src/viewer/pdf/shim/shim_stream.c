#include "shim_stream.h"

#include "shim_watchdog.h"

#include <errno.h>
#include <string.h>
#include <unistd.h>

enum { CHUNK = 64 << 10 };

typedef struct source_stream {
    int fd;
    int64_t size;
    int64_t offset; /* of the next read */
    int (*stop)(void *opaque);
    void *stop_opaque;
    unsigned char buffer[CHUNK];
} source_stream;

static int next_chunk(fz_context *ctx, fz_stream *stm, size_t wanted)
{
    source_stream *state = stm->state;
    size_t n = CHUNK;
    ssize_t got;
    (void)wanted;
    /* A cancelled open, or a page past its time limit, stops reading here:
     * scanning a huge damaged file reads it byte by byte without allocating. */
    if (state->stop && state->stop(state->stop_opaque))
        fz_throw(ctx, FZ_ERROR_GENERIC, "reading stopped");
    if (vshim_watch_overdue_here())
        fz_throw(ctx, FZ_ERROR_GENERIC, "reading past the time limit");
    if (state->offset >= state->size)
        return EOF;
    if ((int64_t)n > state->size - state->offset)
        n = (size_t)(state->size - state->offset);
    do
        got = pread(state->fd, state->buffer, n, (off_t)state->offset);
    while (got < 0 && errno == EINTR);
    if (got < 0)
        fz_throw(ctx, FZ_ERROR_GENERIC, "read error: %s", strerror(errno));
    if (got == 0) /* cut shorter since it was checked */
        return EOF;
    stm->rp = state->buffer;
    stm->wp = state->buffer + got;
    state->offset += got;
    stm->pos = state->offset;
    return *stm->rp++;
}

static void seek_to(fz_context *ctx, fz_stream *stm, int64_t offset, int whence)
{
    source_stream *state = stm->state;
    (void)ctx;
    if (whence == SEEK_END)
        offset += state->size;
    else if (whence == SEEK_CUR)
        offset += stm->pos;
    if (offset < 0)
        offset = 0;
    if (offset > state->size)
        offset = state->size;
    state->offset = offset;
    stm->pos = offset;
    stm->rp = stm->wp = state->buffer;
}

static void drop_state(fz_context *ctx, void *state)
{
    fz_free(ctx, state);
}

fz_stream *vshim_open_source(fz_context *ctx, const vshim_source *source)
{
    source_stream *state;
    fz_stream *stream;
    if (source->data)
        return fz_open_memory(ctx, source->data, (size_t)source->size);
    state = fz_malloc_struct(ctx, source_stream);
    state->fd = source->fd;
    state->size = source->size;
    state->stop = source->stop;
    state->stop_opaque = source->stop_opaque;
    stream = fz_new_stream(ctx, state, next_chunk, drop_state);
    stream->seek = seek_to;
    return stream;
}

void vshim_forget_stop(fz_stream *stream)
{
    if (stream && stream->next == next_chunk) {
        source_stream *state = stream->state;
        state->stop = NULL;
        state->stop_opaque = NULL;
    }
}
