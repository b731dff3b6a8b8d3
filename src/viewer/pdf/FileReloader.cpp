#include "FileReloader.h"

#include "EngineThread.h"
#include "viewer/ViewerControl.h"

#include <QFileInfo>

#include <atomic>
#include <mutex>
#include <system_error>

namespace {
// A change counts as settled once the file has been quiet this long.
constexpr int kSettleMs = 300;
// A version that cannot be opened is tried again this often, this many times,
// when no further change comes (a writer that pauses, a rename in two steps).
constexpr int kRetryMs = 1000;
constexpr int kRetries = 5;
constexpr int kPollMs = 20;
// Opening a local file takes well under this; a read from a hung mount may
// never end, and must not keep later versions from being tried.
constexpr int kAttemptLimitMs = 20000;
} // namespace

// Shared with the opening thread; whoever lets go last drops it.
struct FileReloader::Attempt {
    std::atomic<bool> abandoned{false}; // the thread stops reading
    std::mutex mutex;
    bool done = false;          // guarded by mutex
    PdfDocument::Opened result; // guarded by mutex
    FileVersion::Stamp stamp;   // of the version read; guarded by mutex
    FileVersion::Stamp seen;    // the path's stamp when the attempt began
};

FileReloader::FileReloader(QObject *parent) : QObject(parent), m_attemptLimitMs(kAttemptLimitMs)
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

FileReloader::~FileReloader()
{
    stop();
}

void FileReloader::watch(const QString &path, const FileVersion::Stamp &shown,
                         const QString &userPassword, const QString &ownerPassword)
{
    stop();
    m_path = path;
    m_userPassword = userPassword;
    m_ownerPassword = ownerPassword;
    m_shown = shown;
    // The folder too: a file replaced by a rename is a new file the old watch misses.
    m_watcher.addPath(QFileInfo(path).absolutePath());
    m_watcher.addPath(path);
    // Changed between the read and the watch: nothing else would say so.
    if (FileVersion::stampOf(path) != shown)
        changed();
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
    if (m_attempt)
        m_attempt->abandoned = true;
    m_attempt.reset();
    m_path.clear();
    m_userPassword.clear();
    m_ownerPassword.clear();
}

void FileReloader::changed()
{
    if (m_path.isEmpty())
        return;
    m_retries = 0;
    m_retry.stop();
    m_settle.start();
}

void FileReloader::tryAgainLater()
{
    if (m_retries++ < kRetries)
        m_retry.start();
}

void FileReloader::settled()
{
    // A file replaced by a rename dropped out of the watch; watch the new one.
    if (!m_watcher.files().contains(m_path) && QFileInfo::exists(m_path))
        m_watcher.addPath(m_path);
    const FileVersion::Stamp now = FileVersion::stampOf(m_path);
    if (m_attempt || now == m_shown)
        return; // an open still runs (it checks again when done), or nothing new
    if (now.size < 0) { // gone, or no regular file, for now: a rename may yet bring one back
        tryAgainLater();
        return;
    }
    auto attempt = std::make_shared<Attempt>();
    attempt->seen = now;
    try {
        EngineThread([attempt, path = m_path, user = m_userPassword, owner = m_ownerPassword] {
            PdfDocument::Opened opened;
            FileVersion::Stamp stamp;
            if (const std::shared_ptr<const FileVersion> version =
                    FileVersion::read(path, &attempt->abandoned)) {
                stamp = version->stamp();
                if (version->looksComplete())
                    opened = PdfDocument::open(version, user, owner, &attempt->abandoned);
            }
            std::lock_guard<std::mutex> lock(attempt->mutex);
            attempt->result = std::move(opened);
            attempt->stamp = stamp;
            attempt->done = true;
        }).detach();
    } catch (const std::system_error &) {
        tryAgainLater(); // no thread to spare now
        return;
    }
    m_attempt = attempt;
    m_attemptAge.start();
    m_poll.start();
}

void FileReloader::poll()
{
    PdfDocument::Opened opened;
    FileVersion::Stamp tried;
    {
        std::lock_guard<std::mutex> lock(m_attempt->mutex);
        if (!m_attempt->done) {
            if (m_attemptAge.elapsed() < m_attemptLimitMs)
                return;
            // Left to end on its own; what it makes then is dropped with it.
            m_attempt->abandoned = true;
            m_shown = m_attempt->seen; // tried, so only a further change tries again
            m_poll.stop();
            m_attempt.reset();
            return;
        }
        opened = std::move(m_attempt->result);
        tried = m_attempt->stamp;
    }
    m_poll.stop();
    m_attempt.reset();
    // Written to again while it opened: that version may be half of the next one.
    if (tried.size >= 0 && FileVersion::stampOf(m_path) != tried) {
        m_settle.start();
        return;
    }
    if (opened.status == ViewerControl::Opened) {
        m_shown = tried;
        m_retries = 0;
        emit reloaded(std::move(opened.document));
    } else {
        m_shown = {}; // not shown: the same version is tried again
        tryAgainLater();
    }
}
