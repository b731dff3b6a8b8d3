#include "FileReloader.h"

#include "viewer/ViewerControl.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include <algorithm>
#include <mutex>
#include <thread>

namespace {
// A change counts as settled once the file has been quiet this long.
constexpr int kSettleMs = 300;
// A version that cannot be opened is tried again this often, this many times,
// when no further change comes (a writer that pauses, a rename in two steps).
constexpr int kRetryMs = 1000;
constexpr int kRetries = 5;
constexpr int kPollMs = 20;

// A PDF ends with %%EOF within its last kilobyte; a file still being written
// does not yet, though MuPDF would open much of it, with pages left blank.
bool looksComplete(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    file.seek(std::max<qint64>(0, file.size() - 1024));
    return file.read(1024).contains("%%EOF");
}
} // namespace

// Shared with the opening thread; whoever lets go last drops it.
struct FileReloader::Attempt {
    std::mutex mutex;
    bool done = false;
    PdfDocument::Opened result; // guarded by mutex
    Stamp stamp;                // the version being opened
};

FileReloader::FileReloader(QObject *parent) : QObject(parent)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryMs);
    m_poll.setInterval(kPollMs);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &FileReloader::changed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileReloader::changed);
    connect(&m_settle, &QTimer::timeout, this, &FileReloader::settled);
    connect(&m_retry, &QTimer::timeout, this, &FileReloader::settled);
    connect(&m_poll, &QTimer::timeout, this, &FileReloader::poll);
}

FileReloader::~FileReloader() = default;

void FileReloader::watch(const QString &path, const QString &userPassword,
                         const QString &ownerPassword)
{
    stop();
    m_path = path;
    m_userPassword = userPassword;
    m_ownerPassword = ownerPassword;
    m_shown = stampOf(path);
    // The folder too: a file replaced by a rename is a new file the old watch misses.
    m_watcher.addPath(QFileInfo(path).absolutePath());
    m_watcher.addPath(path);
}

void FileReloader::stop()
{
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_settle.stop();
    m_retry.stop();
    m_poll.stop();
    m_attempt.reset();
    m_path.clear();
    m_userPassword.clear();
    m_ownerPassword.clear();
}

FileReloader::Stamp FileReloader::stampOf(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    return {qint64(info.st_size), qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
            quint64(info.st_ino)};
}

void FileReloader::changed()
{
    if (m_path.isEmpty())
        return;
    m_retries = 0;
    m_retry.stop();
    m_settle.start();
}

void FileReloader::settled()
{
    // A file replaced by a rename dropped out of the watch; watch the new one.
    if (!m_watcher.files().contains(m_path) && QFileInfo::exists(m_path))
        m_watcher.addPath(m_path);
    const Stamp now = stampOf(m_path);
    if (m_attempt || now == m_shown)
        return; // an open still runs (it checks again when done), or nothing new
    if (now.size < 0) { // gone for now: a rename may yet bring it back
        if (m_retries++ < kRetries)
            m_retry.start();
        return;
    }
    auto attempt = std::make_shared<Attempt>();
    attempt->stamp = now;
    m_attempt = attempt;
    std::thread([attempt, path = m_path, user = m_userPassword, owner = m_ownerPassword] {
        PdfDocument::Opened opened;
        if (looksComplete(path))
            opened = PdfDocument::open(path, user, owner);
        std::lock_guard<std::mutex> lock(attempt->mutex);
        attempt->result = std::move(opened);
        attempt->done = true;
    }).detach();
    m_poll.start();
}

void FileReloader::poll()
{
    PdfDocument::Opened opened;
    {
        std::lock_guard<std::mutex> lock(m_attempt->mutex);
        if (!m_attempt->done)
            return;
        opened = std::move(m_attempt->result);
    }
    m_poll.stop();
    const Stamp tried = m_attempt->stamp;
    m_attempt.reset();
    // Written to again while it opened: that version may be half of the next one.
    if (!(stampOf(m_path) == tried)) {
        m_settle.start();
        return;
    }
    m_shown = tried;
    if (opened.status == ViewerControl::Opened) {
        m_retries = 0;
        emit reloaded(std::move(opened.document));
    } else if (m_retries++ < kRetries) {
        m_shown = {}; // not shown: the same version is tried again
        m_retry.start();
    }
}
