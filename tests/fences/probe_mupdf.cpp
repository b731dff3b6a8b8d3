// Compiled outside the engine, this must stop at the fence.
#include <mupdf/fitz.h>
