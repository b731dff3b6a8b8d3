#pragma once
// One version of a document's file: the path is opened once, without waiting
// (a pipe with no writer answers at once), checked on that descriptor, and
// from then on everything that reads the document — the viewer, the text
// index, printing, saving a copy, the reload's completeness check — reads this
// version and never the path again. Files under kInMemoryBytes are read whole
// here, so a page never waits for a slow disk; a larger one is read by offset
// from the descriptor, never past the size it had when it was checked.
//
// Immutable once made; share it (std::shared_ptr<const FileVersion>) with any
// thread. Creates no Qt object, so it may run before QApplication exists.

#include "shim/shim_source.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class FileVersion {
public:
    static constexpr qint64 kInMemoryBytes = qint64(32) << 20;

    // What tells versions of a file apart: a write changes the size or the
    // modification time, a replacement by rename the inode.
    struct Stamp {
        qint64 size = -1; // -1: no regular file there
        qint64 modified = -1; // nanoseconds
        quint64 inode = 0;
        quint64 device = 0;
        bool operator==(const Stamp &o) const
        {
            return size == o.size && modified == o.modified && inode == o.inode
                   && device == o.device;
        }
        bool operator!=(const Stamp &o) const { return !(*this == o); }
    };
    // The stamp of whatever the path names now (following links); no file is
    // opened, so it never waits on a pipe or a device.
    static Stamp stampOf(const QString &path);

    // Null when the path names no regular file that can be read: missing, not
    // permitted, a folder, a pipe, a device, or a read error. Once *cancelled
    // turns true a read in progress gives up (null as well).
    static std::shared_ptr<const FileVersion> read(const QString &path,
                                                   const std::atomic<bool> *cancelled = nullptr);

    ~FileVersion();
    FileVersion(const FileVersion &) = delete;
    FileVersion &operator=(const FileVersion &) = delete;

    const Stamp &stamp() const { return m_stamp; }
    qint64 size() const { return m_size; }

    // The engine's view of the bytes; valid while this version lives. The
    // stop callback is left for the caller to set.
    vshim_source source() const;

    // Up to n bytes from offset into buffer; the count read, 0 past the end,
    // -1 on a read error. Any thread.
    qint64 readAt(qint64 offset, char *buffer, qint64 n) const;

    // A PDF ends with %%EOF within its last kilobyte; a file still being
    // written does not yet, though MuPDF would open much of it.
    bool looksComplete() const;

private:
    FileVersion() = default;

    Stamp m_stamp;
    qint64 m_size = 0; // bytes this version holds (its stamp's size, or fewer when cut short)
    QByteArray m_bytes; // the whole file, when small
    int m_fd = -1;      // otherwise the descriptor it is read from
};
