#include "bookmarks/BookmarkMenu.h"

#include "bookmarks/SaveFailure.h"
#include "bookmarks/frmBk.h"
#include "bookmarks/modPdf.h"
#include "ui/ModalUi.h"

#include <QAction>
#include <QMenu>

namespace {

// "[path]，第page页"; '&' doubled so a path shows as stored instead of marking an
// access key.
QString itemCaption(const QString &path, const QString &page)
{
    QString caption = QStringLiteral("[") + path + QStringLiteral("]，第") + page
                      + QStringLiteral("页");
    return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// The menu action that follows `item` in `menu`, or nullptr when it is the last.
QAction *actionAfter(const QMenu *menu, const QAction *item)
{
    const QList<QAction *> actions = menu->actions();
    const qsizetype index = actions.indexOf(item);
    return index >= 0 && index + 1 < actions.size() ? actions[index + 1] : nullptr;
}

} // namespace

BookmarkMenu::BookmarkMenu(QMenu *menu, const QString &bookmarkDir, ModalUi &ui, QWidget *window)
    : QObject(window), m_menu(menu), m_bookmarkDir(bookmarkDir), m_ui(ui), m_window(window)
{
    QAction *placeholder = m_menu->addAction(QStringLiteral("尚未添加书签"));
    placeholder->setObjectName(QStringLiteral("mnuBk"));
    connect(placeholder, &QAction::triggered, this, [this] { emit chosen(0); });
    m_items.append(placeholder);
}

QString BookmarkMenu::storeFile() const
{
    return BookmarkStore::filePath(m_bookmarkDir);
}

void BookmarkMenu::createItems()
{
    for (int i = 1; i <= BookmarkStore::kMaxBookmarks; ++i) {
        auto *item = new QAction(m_items[0]->text(), m_menu);
        item->setObjectName(QStringLiteral("mnuBk(%1)").arg(i));
        item->setEnabled(true);
        m_menu->insertAction(actionAfter(m_menu, m_items[i - 1]), item);
        connect(item, &QAction::triggered, this, [this, i] { emit chosen(i); });
        m_items.append(item);
    }
    m_items[0]->setEnabled(false);
    show();
}

void BookmarkMenu::show()
{
    show(BookmarkStore::read(storeFile()));
}

void BookmarkMenu::show(const QList<BookmarkStore::Bookmark> &bookmarks)
{
    for (int i = 1; i < m_items.size(); ++i) {
        m_items[i]->setVisible(i <= bookmarks.size());
        if (i <= bookmarks.size())
            m_items[i]->setText(itemCaption(bookmarks[i - 1].path, bookmarks[i - 1].page));
    }
    // Shown again once the last bookmark is deleted, so the menu never looks empty
    // without a word of explanation.
    m_items[0]->setVisible(bookmarks.isEmpty());
}

void BookmarkMenu::add(const QString &documentPath, int page)
{
    const BookmarkStore::Bookmark bookmark{documentPath, QString::number(page)};
    const BookmarkStore::AddOutcome outcome = BookmarkStore::add(storeFile(), bookmark);
    switch (outcome.result) {
    case BookmarkStore::AddResult::Full:
        m_ui.messageBox(m_window,
                        QStringLiteral("最多只能添加20个书签！请您删除其他无用的书签后再继续添加！"),
                        QStringLiteral("提示"), ModalUi::Icon::Information);
        return;
    case BookmarkStore::AddResult::Failed:
        showBookmarkSaveFailure(m_ui, m_window);
        return;
    case BookmarkStore::AddResult::Added:
        show(outcome.bookmarks);
        m_ui.messageBox(m_window, QStringLiteral("添加书签成功！"),
                        QStringLiteral("Vellumo 添加书签"), ModalUi::Icon::Information);
        return;
    }
}

void BookmarkMenu::manage(const QIcon &windowIcon)
{
    frmBk manager(storeFile(), m_ui, windowIcon,
                  [this](const QList<BookmarkStore::Bookmark> &bookmarks) { show(bookmarks); });
    m_ui.runModal(&manager);
}

std::optional<BookmarkMenu::Destination> BookmarkMenu::choose(int index)
{
    const BookmarkStore::Bookmark bookmark = BookmarkStore::read(storeFile()).value(index - 1);
    if (!modPdf::FileExists(bookmark.path)) {
        m_ui.messageBox(m_window, QStringLiteral("此文件不存在！"), QStringLiteral("提示"),
                        ModalUi::Icon::Error);
        return std::nullopt;
    }
    // A page that is not a number leaves the page where the viewer put it.
    return Destination{bookmark.path, BookmarkStore::pageNumber(bookmark.page)};
}
