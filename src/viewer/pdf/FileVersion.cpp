#include "FileVersion.h"

#include "NativeFileName.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileVersion::Stamp stampFrom(const struct stat &info)
{
    if (!S_ISREG(info.st_mode))
        return {};
    return {qint64(info.st_size), qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
            quint64(info.st_ino), quint64(info.st_dev)};
}

qint64 preadAll(int fd, qint64 offset, char *buffer, qint64 n)
{
    qint64 done = 0;
    while (done < n) {
        const ssize_t got = ::pread(fd, buffer + done, size_t(n - done), off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

} // namespace

FileVersion::Stamp FileVersion::stampOf(const QString &path)
{
    struct stat info {};
    if (path.isEmpty() || ::stat(nativeFileName(path).constData(), &info) != 0)
        return {};
    return stampFrom(info);
}

std::shared_ptr<const FileVersion> FileVersion::read(const QString &path,
                                                     const std::atomic<bool> *cancelled)
{
    if (path.isEmpty())
        return nullptr;
    // Without O_NONBLOCK opening a pipe would wait for a writer that may never come.
    const int fd = ::open(nativeFileName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    std::shared_ptr<FileVersion> version(new FileVersion);
    version->m_fd = fd;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return nullptr;
    version->m_stamp = stampFrom(info);
    version->m_size = version->m_stamp.size;
    if (version->m_size >= kInMemoryBytes)
        return version;

    // Read in slices so a cancel is seen between them; the descriptor goes
    // once the bytes are in.
    constexpr qint64 kSlice = qint64(1) << 20;
    version->m_bytes.resize(version->m_size);
    qint64 done = 0;
    while (done < version->m_size) {
        if (cancelled && *cancelled)
            return nullptr;
        const qint64 got = preadAll(fd, done, version->m_bytes.data() + done,
                                    std::min(kSlice, version->m_size - done));
        if (got < 0)
            return nullptr;
        if (got == 0)
            break; // cut shorter since it was checked: a writer is at work, a reload follows
        done += got;
    }
    version->m_bytes.resize(done);
    version->m_size = done;
    ::close(std::exchange(version->m_fd, -1));
    return version;
}

FileVersion::~FileVersion()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

vshim_source FileVersion::source() const
{
    vshim_source source{};
    source.fd = m_fd;
    source.size = m_size;
    if (m_fd < 0) {
        // A PDF of no bytes still needs an address to read none from.
        static const unsigned char kNothing = 0;
        source.data = m_bytes.isEmpty() ? &kNothing
                                         : reinterpret_cast<const unsigned char *>(m_bytes.constData());
    }
    return source;
}

qint64 FileVersion::readAt(qint64 offset, char *buffer, qint64 n) const
{
    if (offset < 0 || n < 0)
        return -1;
    n = std::min(n, std::max<qint64>(0, m_size - offset));
    if (n == 0)
        return 0;
    if (m_fd < 0) {
        std::copy_n(m_bytes.constData() + offset, n, buffer);
        return n;
    }
    return preadAll(m_fd, offset, buffer, n);
}

bool FileVersion::looksComplete() const
{
    constexpr qint64 kTail = 1024;
    QByteArray tail(int(std::min(kTail, m_size)), '\0');
    const qint64 offset = m_size - tail.size();
    return readAt(offset, tail.data(), tail.size()) == tail.size() && tail.contains("%%EOF");
}
