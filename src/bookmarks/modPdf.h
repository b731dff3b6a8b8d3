#pragma once
// Helpers shared by the main window and its dialogs.

#include <QString>

namespace modPdf {
// True exactly when a file (not a directory) exists at path.
bool FileExists(const QString &path);
} // namespace modPdf
