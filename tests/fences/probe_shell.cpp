// Compiled as a part the window uses (src/bookmarks/, src/web/, src/viewer/, src/ui/),
// this must stop at the fence.
#include "app/frmPdf.h"
