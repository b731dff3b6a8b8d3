#pragma once
// The bookmarks in bk.ini, section "bkinfo": "nextnum" (the number the next bookmark
// gets) and, for each bookmark n, "path<n>" and "page<n>". Every operation reads the
// file afresh, once, so edits made meanwhile are seen; adding and removing hold the
// file's lock from their read to their write, their writes reach the file together
// or not at all, and they hand back the bookmarks as written, so a caller showing
// them reads nothing again. The store shows no messages: callers do.

#include <QList>
#include <QString>

#include <optional>

namespace BookmarkStore {

inline constexpr int kMaxBookmarks = 20;

struct Bookmark {
    QString path;
    QString page;
};

// bk.ini in the executable's directory; when that directory is not writable and
// holds no bk.ini (an installed copy), bk.ini in the user's configuration directory.
QString filePath(const QString &executableDir);

// Bookmarks 1 … count as stored (a number the counter covers may hold empty texts).
// The count is the counter minus one; a counter that is missing or not a number
// from 1 to 21 gives the run of stored paths from path1 on, at most 20. None when
// the file is missing or unreadable. Of a file too large to be changed, the
// bookmarks in its first part, so they can still be seen and opened.
QList<Bookmark> read(const QString &file);

enum class AddResult { Added, Full, Failed };

struct AddOutcome {
    AddResult result;
    QList<Bookmark> bookmarks; // as stored after the add; empty unless Added
};

// Stores the bookmark under the next number unless 20 are stored.
AddOutcome add(const QString &file, const Bookmark &bookmark);

// Removes bookmark `number` and renumbers the rest from 1 without gaps; returns the
// bookmarks left. Nothing, with the file as it was, when it could not be written.
std::optional<QList<Bookmark>> remove(const QString &file, int number);

// The page to show for a stored page text: its integer part, or nothing when the
// text is not a number within the 32-bit range.
std::optional<int> pageNumber(const QString &pageText);

} // namespace BookmarkStore
