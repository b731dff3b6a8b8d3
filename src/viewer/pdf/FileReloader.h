#pragma once
// Watches the open document's file and, once a change has settled, opens the
// new version on an engine thread, with the passwords given at open. The file
// may be rewritten in place or replaced by a rename. A version that cannot be
// opened yet (still being written) is left alone and tried again when the
// writes stop; the viewer keeps showing the old one meanwhile. An attempt that
// does not end in time (a hung disk) is abandoned, so later changes are still
// tried.
//
// GUI thread only; the opening thread hands its result back by a queued call,
// and nothing of it outlives this object's interest.

#include "EngineTask.h"
#include "FileVersion.h"
#include "PdfDocument.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <memory>

class FileReloader : public QObject {
    Q_OBJECT
public:
    explicit FileReloader(QObject *parent = nullptr);
    ~FileReloader() override;

    // Starts watching the file the document was just opened from; shown is the
    // stamp of the version that was read, so a change made while it opened is
    // reloaded as soon as it settles.
    void watch(const QString &path, const FileVersion::Stamp &shown, const QString &userPassword,
               const QString &ownerPassword);
    // Stops watching and forgets the passwords.
    void stop();
    const QString &userPassword() const { return m_userPassword; }
    const QString &ownerPassword() const { return m_ownerPassword; }

    // How long one reload may take before it is abandoned.
    void setAttemptLimit(int ms) { m_attemptLimit.setInterval(ms); }

signals:
    // The file's new version, opened.
    void reloaded(std::shared_ptr<PdfDocument> document);

private:
    // What an attempt read and made of it.
    struct Attempt {
        PdfDocument::Opened opened;
        FileVersion::Stamp stamp; // of the version read
    };
    void changed();
    void settled();
    void attempted(Attempt attempt);
    void abandonAttempt();
    void tryAgainLater();

    QFileSystemWatcher m_watcher;
    QTimer m_settle;       // restarted by every change
    QTimer m_attemptLimit; // while an open runs
    QTimer m_retry;        // after a failed open, in case no further change comes
    int m_retries = 0;
    QString m_path;
    QString m_userPassword;
    QString m_ownerPassword;
    FileVersion::Stamp m_shown; // the version the viewer shows, or last tried
    EngineTask<Attempt> m_attempt; // started while an open runs
    FileVersion::Stamp m_attemptSeen; // the path's stamp when the attempt began
};
