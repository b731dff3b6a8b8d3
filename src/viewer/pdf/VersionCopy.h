#pragma once
// Saving a copy of the open document: the version of its file that was read
// and is shown, not whatever the path holds now (another program may have
// replaced it by a pipe, a device or a newer version meanwhile).

#include "FileVersion.h"

#include <atomic>

// Writes the version's bytes to target, replacing the file there all at once:
// a failure or a cancel leaves the old target as it was and no temporary file
// behind. *written counts the bytes written so far. Any thread.
bool writeVersionCopy(const FileVersion &version, const QString &target,
                      const std::atomic<bool> &cancelled, std::atomic<qint64> &written);
