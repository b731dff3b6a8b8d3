// The Bookmarks menu of the main window: creating the bookmark items, adding the
// current page, opening a bookmark, and the manager window.
#include "ui/ModalUi.h"
#include "app/frmPdf.h"
#include "bookmarks/BookmarkStore.h"
#include "bookmarks/SaveFailure.h"
#include "bookmarks/frmBk.h"
#include "bookmarks/modPdf.h"
#include "viewer/ViewerControl.h"

#include <QAction>
#include <QMenu>

namespace {

QString bookmarkFile(const frmPdf &window)
{
    return BookmarkStore::filePath(window.bookmarkDir());
}

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

void frmPdf::createBookmarkItems()
{
    for (qint16 i = 1; i <= BookmarkStore::kMaxBookmarks; ++i) {
        auto *item = new QAction(mnuBk[0]->text(), this);
        item->setObjectName(QStringLiteral("mnuBk(%1)").arg(i));
        item->setEnabled(true);
        mnuShu->insertAction(actionAfter(mnuShu, mnuBk[i - 1]), item);
        connect(item, &QAction::triggered, this, [this, i] { mnuBk_Click(i); });
        mnuBk.append(item);
    }
    mnuBk[0]->setEnabled(false);
    Showbk();
}

void frmPdf::Showbk()
{
    showBookmarks(BookmarkStore::read(bookmarkFile(*this)));
}

void frmPdf::showBookmarks(const QList<BookmarkStore::Bookmark> &bookmarks)
{
    for (int i = 1; i < mnuBk.size(); ++i) {
        mnuBk[i]->setVisible(i <= bookmarks.size());
        if (i <= bookmarks.size())
            mnuBk[i]->setText(itemCaption(bookmarks[i - 1].path, bookmarks[i - 1].page));
    }
    // Shown again once the last bookmark is deleted, so the menu never looks empty
    // without a word of explanation.
    mnuBk[0]->setVisible(bookmarks.isEmpty());
}

void frmPdf::mnuAddbk_Click()
{
    if (Pdfc->DocumentPath().isEmpty())
        return;
    const BookmarkStore::Bookmark bookmark{Pdfc->DocumentPath(), QString::number(Pdfc->CurrentPage())};
    const BookmarkStore::AddOutcome outcome = BookmarkStore::add(bookmarkFile(*this), bookmark);
    switch (outcome.result) {
    case BookmarkStore::AddResult::Full:
        ui().messageBox(this,
                        QStringLiteral("最多只能添加20个书签！请您删除其他无用的书签后再继续添加！"),
                        QStringLiteral("提示"), ModalUi::Icon::Information);
        return;
    case BookmarkStore::AddResult::Failed:
        showBookmarkSaveFailure(ui(), this);
        return;
    case BookmarkStore::AddResult::Added:
        showBookmarks(outcome.bookmarks);
        ui().messageBox(this, QStringLiteral("添加书签成功！"), QStringLiteral("Vellumo 添加书签"),
                        ModalUi::Icon::Information);
        return;
    }
}

void frmPdf::mnuBk_Click(qint16 Index)
{
    const BookmarkStore::Bookmark bookmark = BookmarkStore::read(bookmarkFile(*this)).value(Index - 1);
    if (!modPdf::FileExists(bookmark.path)) {
        ui().messageBox(this, QStringLiteral("此文件不存在！"), QStringLiteral("提示"),
                        ModalUi::Icon::Error);
        return;
    }
    openPdf(bookmark.path, QString(), QString());
    // A page that is not a number leaves the page where the viewer put it.
    if (const auto pageNumber = BookmarkStore::pageNumber(bookmark.page))
        Pdfc->setCurrentPage(*pageNumber);
}

void frmPdf::mnuBkm_Click()
{
    frmBk manager(bookmarkFile(*this), ui(), windowIcon(),
                  [this](const QList<BookmarkStore::Bookmark> &bookmarks) { showBookmarks(bookmarks); });
    ui().runModal(&manager);
}
