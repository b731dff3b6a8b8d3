#pragma once
// An exclusive lock between processes, held while in scope: flock() on a lock file
// beside the guarded file, which stays in place. The system drops the lock when its
// holder ends, so a crash or a kill leaves no stale lock behind.

#include <QString>

class FileLock {
public:
    // Waits for other holders while the lock keeps changing hands; gives up when
    // one holder has kept it for a few seconds. isLocked() tells whether it got it.
    explicit FileLock(const QString &lockFile);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    bool isLocked() const { return m_locked; }

private:
    // The number of times the lock was taken, kept in the lock file itself.
    quint64 turns() const;

    int m_fd = -1;
    bool m_locked = false;
};
