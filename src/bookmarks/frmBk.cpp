#include "bookmarks/frmBk.h"

#include "ui/DesignFont.h"
#include "ui/ModalUi.h"
#include "ui/DesignButton.h"
#include "ui/Twips.h"
#include "bookmarks/BookmarkStore.h"
#include "bookmarks/SaveFailure.h"

#include <QIcon>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

namespace {

QPushButton *dcButton(QWidget *parent, const char *name, const QString &caption, double left)
{
    QPushButton *button = designButton(parent, name, caption, twips::rect(left, 5640, 1815, 375));
    // Enter in the list must not delete a bookmark.
    button->setAutoDefault(false);
    return button;
}

} // namespace

frmBk::frmBk(const QString &iniFile, ModalUi &ui, const QIcon &mainWindowIcon,
             ShowBookmarks showbk, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_iniFile(iniFile), m_ui(ui), m_showbk(std::move(showbk))
{
    setObjectName(QStringLiteral("frmBk"));
    setWindowTitle(QStringLiteral("删除书签"));
    setFixedSize(twips::toPixels(7140), twips::toPixels(6135));

    lstBk = new QListWidget(this);
    lstBk->setObjectName(QStringLiteral("lstBk"));
    lstBk->setGeometry(twips::rect(120, 120, 6855, 5310));
    lstBk->setFont(songtiFont(10.5));
    lstBk->setSelectionMode(QAbstractItemView::SingleSelection);

    dcButton1 = dcButton(this, "dcButton1", QStringLiteral("删除选中书签(&D)"), 1200);
    dcButton2 = dcButton(this, "dcButton2", QStringLiteral("返回(&R)"), 3960);
    setTabOrder(lstBk, dcButton1);
    setTabOrder(dcButton1, dcButton2);
    // The line the delete button acts on stays marked: a ctrl-click on it must not
    // leave the list without a visible selection.
    connect(lstBk, &QListWidget::itemSelectionChanged, this, [this] {
        if (lstBk->selectedItems().isEmpty() && lstBk->count() > 0)
            lstBk->setCurrentRow(qMax(lstBk->currentRow(), 0));
    });
    connect(dcButton1, &QPushButton::clicked, this, &frmBk::dcButton1_Click);
    connect(dcButton2, &QPushButton::clicked, this, &frmBk::dcButton2_Click);

    if (const QScreen *shown = screen())
        move(shown->availableGeometry().center() - rect().center());

    setWindowIcon(mainWindowIcon);
    Regetlist();
}

void frmBk::Regetlist()
{
    showList(BookmarkStore::read(m_iniFile));
}

void frmBk::showList(const QList<BookmarkStore::Bookmark> &bookmarks)
{
    lstBk->clear();
    for (const BookmarkStore::Bookmark &bookmark : bookmarks)
        lstBk->addItem(bookmark.path + QStringLiteral("，第") + bookmark.page + QStringLiteral("页"));
    if (lstBk->count() > 0)
        lstBk->setCurrentRow(0);
    m_showbk(bookmarks);
}

void frmBk::dcButton1_Click()
{
    if (lstBk->count() == 0)
        return;
    const int selected = qMax(lstBk->currentRow(), 0);
    const int selectAfter = selected == 0 ? 0 : selected - 1;
    const std::optional<QList<BookmarkStore::Bookmark>> left =
        BookmarkStore::remove(m_iniFile, selected + 1);
    if (!left) {
        showBookmarkSaveFailure(m_ui, this);
        return;
    }
    showList(*left);
    if (lstBk->count() > 0)
        lstBk->setCurrentRow(selectAfter);
}

void frmBk::dcButton2_Click()
{
    reject();
}
