// Compiled as engine code, this must stop at the fence.
#include "app/frmPdf.h"
