#ifndef VELLUMO_SHIM_SOURCE_H
#define VELLUMO_SHIM_SOURCE_H
/* Where an opened document's bytes come from: one version of its file, read
 * once by the caller. Either the whole file in memory, or a descriptor read
 * with pread, never past the size the file had when it was checked, so a file
 * that grows while it is shown is not read into its new part. The caller keeps
 * the bytes or the descriptor alive for as long as any document opened from
 * them; several documents may share one source, each reads on its own. */

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vshim_source {
    const unsigned char *data; /* the file's bytes, or NULL to read fd */
    int fd;
    long long size; /* bytes of data, or bytes of fd to read */
    /* Asked between reads while the document opens (a damaged file's repair
     * scan reads it whole); the open ends as failed once it answers nonzero.
     * NULL for none. Called on the opening thread; it must not throw. */
    int (*stop)(void *opaque);
    void *stop_opaque;
} vshim_source;

#ifdef __cplusplus
}
#endif

#endif
