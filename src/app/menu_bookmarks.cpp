// The Bookmarks menu: its items and messages are the bookmark menu's; choosing
// one opens it through openPdf.
#include "app/frmPdf.h"

#include "bookmarks/BookmarkMenu.h"
#include "viewer/ViewerControl.h"

void frmPdf::createBookmarkItems()
{
    m_bookmarkMenu->createItems();
}

void frmPdf::Showbk()
{
    m_bookmarkMenu->show();
}

void frmPdf::mnuAddbk_Click()
{
    if (Pdfc->DocumentPath().isEmpty())
        return;
    m_bookmarkMenu->add(Pdfc->DocumentPath(), Pdfc->CurrentPage());
}

void frmPdf::mnuBk_Click(qint16 Index)
{
    const std::optional<BookmarkMenu::Destination> destination = m_bookmarkMenu->choose(Index);
    if (!destination)
        return;
    openPdf(destination->path, QString(), QString());
    if (destination->page)
        Pdfc->setCurrentPage(*destination->page);
}

void frmPdf::mnuBkm_Click()
{
    m_bookmarkMenu->manage(windowIcon());
}

const QVector<QAction *> &frmPdf::mnuBk() const
{
    return m_bookmarkMenu->items();
}
