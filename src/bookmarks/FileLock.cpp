#include "bookmarks/FileLock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
// Other holders keep the lock for one read-modify-write of a small file.
constexpr int kWaitMs = 5000;
} // namespace

FileLock::FileLock(const QString &lockFile)
{
    // O_NOFOLLOW: a link planted in its place must not create a file elsewhere.
    m_fd = ::open(QFile::encodeName(lockFile).constData(),
                  O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (m_fd < 0)
        return;
    const QDeadlineTimer deadline(kWaitMs);
    while (!(m_locked = ::flock(m_fd, LOCK_EX | LOCK_NB) == 0)) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || deadline.hasExpired())
            return;
        QThread::msleep(2);
    }
}

FileLock::~FileLock()
{
    if (m_fd >= 0)
        ::close(m_fd);   // releases the lock
}
