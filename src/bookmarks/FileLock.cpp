#include "bookmarks/FileLock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
// One holder keeps the lock for one read-modify-write of a small file, its
// flush to disk included; longer, it is taken to be stuck. A queue of holders
// that each finish in time may keep a waiter longer, as on a busy disk.
constexpr int kHolderMs = 5000;
} // namespace

FileLock::FileLock(const QString &lockFile)
{
    // O_NOFOLLOW: a link planted in its place must not create a file elsewhere.
    m_fd = ::open(QFile::encodeName(lockFile).constData(),
                  O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (m_fd < 0)
        return;
    quint64 seen = turns();
    QDeadlineTimer deadline(kHolderMs);
    while (!(m_locked = ::flock(m_fd, LOCK_EX | LOCK_NB) == 0)) {
        if (errno != EWOULDBLOCK && errno != EINTR)
            return;
        if (const quint64 now = turns(); now != seen) {
            seen = now; // another holder took its turn: the lock is moving
            deadline.setRemainingTime(kHolderMs);
        } else if (deadline.hasExpired()) {
            return;
        }
        QThread::msleep(2);
    }
    // Tells the waiters that the lock changed hands. A lock file that cannot be
    // written only makes them wait as if this holder were the last.
    const quint64 next = turns() + 1;
    [[maybe_unused]] const ssize_t written = ::pwrite(m_fd, &next, sizeof next, 0);
}

FileLock::~FileLock()
{
    if (m_fd >= 0)
        ::close(m_fd);   // releases the lock
}

quint64 FileLock::turns() const
{
    quint64 turns = 0;
    return ::pread(m_fd, &turns, sizeof turns, 0) == ssize_t(sizeof turns) ? turns : 0;
}
