#pragma once
// Copies a whole file so that the target is either the complete copy or left as it
// was: the bytes go to a temporary file beside the target, which then replaces it.

#include <QString>

// Returns false when the copy could not be made; the target is then untouched.
bool copyFileReplacing(const QString &source, const QString &target);
