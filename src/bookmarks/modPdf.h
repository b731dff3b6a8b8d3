#pragma once
// Module-level state and helpers shared by the main window and its dialogs.

#include <QString>

namespace modPdf {
// Path of the document waiting for passwords; written by openPdf, read by frmPs.
extern QString PendingPath;
} // namespace modPdf
