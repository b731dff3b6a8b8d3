#pragma once
// Watches the open document's file and, once a change has settled, opens the
// new version on a thread of its own, with the passwords given at open. The
// file may be rewritten in place or replaced by a rename. A version that cannot
// be opened yet (still being written) is left alone and tried again when the
// writes stop; the viewer keeps showing the old one meanwhile.
//
// GUI thread only; the opening thread hands its result back through a poll, so
// nothing of it outlives this object's interest.

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

    // Starts watching the file the document was just opened from.
    void watch(const QString &path, const QString &userPassword, const QString &ownerPassword);
    // Stops watching and forgets the passwords.
    void stop();
    const QString &userPassword() const { return m_userPassword; }
    const QString &ownerPassword() const { return m_ownerPassword; }

signals:
    // The file's new version, opened.
    void reloaded(std::shared_ptr<PdfDocument> document);

private:
    struct Stamp {
        qint64 size = -1;
        qint64 modified = -1; // nanoseconds
        quint64 inode = 0;
        bool operator==(const Stamp &o) const
        {
            return size == o.size && modified == o.modified && inode == o.inode;
        }
    };
    struct Attempt;
    static Stamp stampOf(const QString &path);
    void changed();
    void settled();
    void poll();

    QFileSystemWatcher m_watcher;
    QTimer m_settle;  // restarted by every change
    QTimer m_poll;    // while an open runs
    QTimer m_retry;   // after a failed open, in case no further change comes
    int m_retries = 0;
    QString m_path;
    QString m_userPassword;
    QString m_ownerPassword;
    Stamp m_shown; // the version the viewer shows, or last tried
    std::shared_ptr<Attempt> m_attempt;
};
