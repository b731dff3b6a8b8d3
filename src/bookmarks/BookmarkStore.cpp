#include "bookmarks/BookmarkStore.h"

#include "ui/ModalUi.h"
#include "bookmarks/IniFileEdit.h"
#include "bookmarks/modPdf.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

#include <cmath>
#include <limits>

namespace BookmarkStore {
namespace {

const QString kFileName = QStringLiteral("bk.ini");

// The greatest whole number not above the decimal number in text.
std::optional<double> integerPart(const QString &text)
{
    bool ok = false;
    const double number = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return std::floor(number);
}

QString pathKey(int number) { return QStringLiteral("path%1").arg(number); }
QString pageKey(int number) { return QStringLiteral("page%1").arg(number); }

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

qint16 readCounter(const QString &file)
{
    const auto counter = integerPart(modPdf::ReadIniValue(kSection, QStringLiteral("nextnum"), file));
    if (!counter || *counter < 1 || *counter > std::numeric_limits<qint16>::max())
        return 1;
    return qint16(*counter);
}

QString readPath(const QString &file, int number)
{
    return modPdf::ReadIniValue(kSection, pathKey(number), file);
}

QString readPage(const QString &file, int number)
{
    return modPdf::ReadIniValue(kSection, pageKey(number), file);
}

void writeEntry(IniFileEdit &edit, int number, const QString &path, const QString &page)
{
    edit.setValue(kSection, pathKey(number), path);
    edit.setValue(kSection, pageKey(number), page);
}

QString readPath(const IniFileEdit &edit, int number)
{
    return edit.value(kSection, pathKey(number));
}

QString readPage(const IniFileEdit &edit, int number)
{
    return edit.value(kSection, pageKey(number));
}

std::optional<int> pageNumber(const QString &pageText)
{
    const auto page = integerPart(pageText);
    if (!page || *page < std::numeric_limits<int>::min() || *page > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(*page);
}

void reportSaveFailure(ModalUi &ui, QWidget *parent)
{
    ui.messageBox(parent, QStringLiteral("无法保存书签！"), QStringLiteral("提示"),
                  ModalUi::Icon::Error);
}

} // namespace BookmarkStore
