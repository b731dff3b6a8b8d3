#ifndef VELLUMO_SHIM_ERROR_H
#define VELLUMO_SHIM_ERROR_H
/* A MuPDF error copied out of fz_catch, so C++ never sees a longjmp. */

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vshim_error {
    int code;          /* 0 = no error, else the fz_caught() code (FZ_ERROR_*) */
    char message[256]; /* fz_caught_message(), truncated */
} vshim_error;

#ifdef __cplusplus
}
#endif

#endif
