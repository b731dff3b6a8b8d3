#include "FileReloader.h"

#include "viewer/ViewerControl.h"

#include <QFileInfo>

#include <system_error>
#include <utility>

namespace {
// A change counts as settled once the file has been quiet this long.
constexpr int kSettleMs = 300;
// A version that cannot be opened is tried again this often, this many times,
// when no further change comes (a writer that pauses, a rename in two steps).
constexpr int kRetryMs = 1000;
constexpr int kRetries = 5;
// Opening a local file takes well under this; a read from a hung mount may
// never end, and must not keep later versions from being tried.
constexpr int kAttemptLimitMs = 20000;
} // namespace

FileReloader::FileReloader(QObject *parent) : QObject(parent)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryMs);
    m_attemptLimit.setSingleShot(true);
    m_attemptLimit.setInterval(kAttemptLimitMs);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &FileReloader::changed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileReloader::changed);
    connect(&m_settle, &QTimer::timeout, this, &FileReloader::settled);
    connect(&m_retry, &QTimer::timeout, this, &FileReloader::settled);
    connect(&m_attemptLimit, &QTimer::timeout, this, &FileReloader::abandonAttempt);
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
    m_attemptLimit.stop();
    m_attempt = {}; // stops reading; what it makes is dropped on its thread
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
    if (m_attempt.isStarted() || now == m_shown)
        return; // an open still runs (it checks again when done), or nothing new
    if (now.size < 0) { // gone, or no regular file, for now: a rename may yet bring one back
        tryAgainLater();
        return;
    }
    using Task = EngineTask<Attempt>;
    try {
        m_attempt = Task([path = m_path, user = m_userPassword,
                          owner = m_ownerPassword](const Task::Control &control) {
            Attempt attempt;
            if (const std::shared_ptr<const FileVersion> version =
                    FileVersion::read(path, &control.cancelled())) {
                attempt.stamp = version->stamp();
                if (version->looksComplete())
                    attempt.opened = PdfDocument::open(version, user, owner, &control.cancelled());
            }
            return attempt;
        });
    } catch (const std::system_error &) {
        tryAgainLater(); // no thread to spare now
        return;
    }
    m_attemptSeen = now;
    m_attempt.deliverTo(this, [this](Attempt attempt) { attempted(std::move(attempt)); });
    m_attemptLimit.start();
}

// Left to end on its own; what it makes then is dropped with it.
void FileReloader::abandonAttempt()
{
    m_attempt = {};
    m_shown = m_attemptSeen; // tried, so only a further change tries again
}

void FileReloader::attempted(Attempt attempt)
{
    m_attemptLimit.stop();
    m_attempt = {};
    const FileVersion::Stamp &tried = attempt.stamp;
    // Written to again while it opened: that version may be half of the next one.
    if (tried.size >= 0 && FileVersion::stampOf(m_path) != tried) {
        m_settle.start();
        return;
    }
    if (attempt.opened.status == ViewerControl::Opened) {
        m_shown = tried;
        m_retries = 0;
        emit reloaded(std::move(attempt.opened.document));
    } else {
        m_shown = {}; // not shown: the same version is tried again
        tryAgainLater();
    }
}
