#pragma once
// The bookmarks in bk.ini, section "bkinfo": "nextnum" (the number the next bookmark
// gets) and, for each bookmark n, "path<n>" and "page<n>". Reads go to the file at
// once; nothing is cached, so edits made meanwhile are seen. An operation's writes
// are collected in an IniFileEdit and reach the file together or not at all.

#include <QString>

#include <optional>

class IniFileEdit;
class ModalUi;
class QWidget;

namespace BookmarkStore {

inline constexpr int kMaxBookmarks = 20;
inline const QString kSection = QStringLiteral("bkinfo");

// bk.ini in the executable's directory; when that directory is not writable and
// holds no bk.ini (an installed copy), bk.ini in the user's configuration directory.
QString filePath(const QString &executableDir);

// The stored counter's integer part; 1 (the empty store) when the file or the key is
// missing or the text is not a number from 1 to 32767.
qint16 readCounter(const QString &file);

QString readPath(const QString &file, int number);
QString readPage(const QString &file, int number);

// Sets path<number>, then page<number>, in a pending edit of the file.
void writeEntry(IniFileEdit &edit, int number, const QString &path, const QString &page);
QString readPath(const IniFileEdit &edit, int number);
QString readPage(const IniFileEdit &edit, int number);

// The page to show for a stored page text: its integer part, or nothing when the
// text is not a number within the 32-bit range.
std::optional<int> pageNumber(const QString &pageText);

// "无法保存书签！", the message after a failed write.
void reportSaveFailure(ModalUi &ui, QWidget *parent);

} // namespace BookmarkStore
