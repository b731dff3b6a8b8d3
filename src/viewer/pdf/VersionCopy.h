#pragma once
// Saving a copy of the open document: the version of its file that was read
// and is shown, not whatever the path holds now (another program may have
// replaced it by a pipe, a device or a newer version meanwhile).

#include "FileVersion.h"

#include <atomic>
#include <functional>
#include <memory>

class LongWork;

// Writes the version's bytes to target, replacing the file there all at once:
// a failure or a cancel leaves the old target as it was and no temporary file
// behind. written(bytes) is told how far it got. Any thread.
bool writeVersionCopy(const FileVersion &version, const QString &target,
                      const std::atomic<bool> &cancelled,
                      const std::function<void(qint64)> &written);

// The same on an engine thread, as a job whose answer is a
// ViewerControl::SaveStatus; never null. GUI thread.
std::shared_ptr<LongWork> beginVersionCopy(std::shared_ptr<const FileVersion> version,
                                           const QString &target);
