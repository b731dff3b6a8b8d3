#include "bookmarks/BookmarkStore.h"

#include "bookmarks/IniFileEdit.h"
#include "bookmarks/IniText.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

#include <array>
#include <cmath>
#include <limits>

namespace BookmarkStore {
namespace {

const QString kFileName = QStringLiteral("bk.ini");
const QString kSection = QStringLiteral("bkinfo");
const QString kCounterKey = QStringLiteral("nextnum");
// Stored values are read as through a buffer of this many characters, NUL included.
constexpr qsizetype kValueBufferSize = 10240;

QString pathKey(int number) { return QStringLiteral("path%1").arg(number); }
QString pageKey(int number) { return QStringLiteral("page%1").arg(number); }

// The greatest whole number not above the decimal number in text.
std::optional<double> integerPart(const QString &text)
{
    bool ok = false;
    const double number = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return std::floor(number);
}

// The stored text of key: "" when missing, cut before any NUL and to the buffer.
QString storedText(const IniText &ini, const QString &key)
{
    const auto bytes = ini.value(kSection, key);
    if (!bytes)
        return QString();
    QString text = IniText::decode(*bytes);
    text.truncate(kValueBufferSize - 1);
    if (const qsizetype nul = text.indexOf(QChar(0)); nul >= 0)
        text.truncate(nul);
    return text;
}

Bookmark storedBookmark(const IniText &ini, int number)
{
    return {storedText(ini, pathKey(number)), storedText(ini, pageKey(number))};
}

// The number of stored bookmarks: the counter minus one while the counter reads
// as 1 … 21; otherwise the run of non-empty paths from path1 on, so that no add
// overwrites a stored bookmark.
int storedCount(const IniText &ini)
{
    const auto counter = integerPart(storedText(ini, kCounterKey));
    if (counter && *counter >= 1 && *counter <= kMaxBookmarks + 1)
        return int(*counter) - 1;
    int run = 0;
    while (run < kMaxBookmarks && !storedText(ini, pathKey(run + 1)).isEmpty())
        ++run;
    return run;
}

QList<Bookmark> storedBookmarks(const IniText &ini)
{
    QList<Bookmark> bookmarks;
    const int count = storedCount(ini);
    for (int number = 1; number <= count; ++number)
        bookmarks.append(storedBookmark(ini, number));
    return bookmarks;
}

void writeBookmark(IniFileEdit &edit, int number, const Bookmark &bookmark)
{
    edit.setValue(kSection, pathKey(number), bookmark.path);
    edit.setValue(kSection, pageKey(number), bookmark.page);
}

} // namespace

QString filePath(const QString &executableDir)
{
    const QString besideProgram = QDir(executableDir).filePath(kFileName);
    const QFileInfo dir(executableDir);
    if (QFileInfo::exists(besideProgram) || (dir.isDir() && dir.isWritable()))
        return besideProgram;
    const QString configDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(configDir);
    return QDir(configDir).filePath(kFileName);
}

QList<Bookmark> read(const QString &file)
{
    const auto content = readIniFileStart(file);
    if (!content)
        return {};
    return storedBookmarks(IniText(*content));
}

AddOutcome add(const QString &file, const Bookmark &bookmark)
{
    IniFileEdit edit(file);
    const int number = storedCount(edit.text()) + 1;
    if (number > kMaxBookmarks)
        return {AddResult::Full, {}};
    writeBookmark(edit, number, bookmark);
    edit.setValue(kSection, kCounterKey, QString::number(number + 1));
    if (!edit.commit())
        return {AddResult::Failed, {}};
    return {AddResult::Added, storedBookmarks(edit.text())};
}

std::optional<QList<Bookmark>> remove(const QString &file, int number)
{
    IniFileEdit edit(file);
    writeBookmark(edit, number, Bookmark());
    // The rest, in order, rewritten as 1 … count; the numbers after them emptied.
    std::array<Bookmark, kMaxBookmarks> remaining;
    int count = 0;
    for (int i = 1; i <= kMaxBookmarks; ++i) {
        const Bookmark stored = storedBookmark(edit.text(), i);
        if (!stored.path.isEmpty())
            remaining[count++] = stored;
    }
    for (int i = 1; i <= kMaxBookmarks; ++i)
        writeBookmark(edit, i, i <= count ? remaining[i - 1] : Bookmark());
    edit.setValue(kSection, kCounterKey, QString::number(count + 1));
    if (!edit.commit())
        return std::nullopt;
    return storedBookmarks(edit.text());
}

std::optional<int> pageNumber(const QString &pageText)
{
    const auto page = integerPart(pageText);
    if (!page || *page < std::numeric_limits<int>::min() || *page > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(*page);
}

} // namespace BookmarkStore
