#pragma once
// The render path from a recorded page to a QImage: what the render workers
// and the print job call. Runs on any thread that is not the GUI thread.

#include "PdfDocument.h"
#include "TileKey.h"

#include <QImage>

// The part of the page image, opaque; a page that cannot be rendered comes back
// white, one whose work ran past the cookie's time limit (given up) with a notice. A null image means
// the cookie was aborted from outside (the part is no longer wanted).
QImage renderPagePart(PdfDocument &document, const PagePart &part, vshim_cookie *cookie);
