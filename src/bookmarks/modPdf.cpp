#include "bookmarks/modPdf.h"

namespace modPdf {
QString PendingPath;
} // namespace modPdf
