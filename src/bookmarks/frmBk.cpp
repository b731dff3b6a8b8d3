#include "bookmarks/frmBk.h"

#include "app/DesignFont.h"
#include "ui/ModalUi.h"
#include "app/DesignButton.h"
#include "app/Twips.h"
#include "bookmarks/BookmarkStore.h"
#include "bookmarks/IniFileEdit.h"

#include <QIcon>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include <array>

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
             std::function<void()> showbk, QWidget *parent)
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
    connect(dcButton1, &QPushButton::clicked, this, &frmBk::dcButton1_Click);
    connect(dcButton2, &QPushButton::clicked, this, &frmBk::dcButton2_Click);

    if (const QScreen *shown = screen())
        move(shown->availableGeometry().center() - rect().center());

    setWindowIcon(mainWindowIcon);
    Regetlist();
}

void frmBk::Regetlist()
{
    lstBk->clear();
    const int count = BookmarkStore::readCounter(m_iniFile) - 1;
    for (int i = 1; i <= count; ++i) {
        const QString path = BookmarkStore::readPath(m_iniFile, i);
        const QString page = BookmarkStore::readPage(m_iniFile, i);
        lstBk->addItem(path + QStringLiteral("，第") + page + QStringLiteral("页"));
    }
    if (lstBk->count() > 0)
        lstBk->setCurrentRow(0);
    m_showbk();
}

void frmBk::dcButton1_Click()
{
    if (lstBk->count() == 0)
        return;
    // The current row survives a ctrl-click that clears the selection mark.
    const int selected = qMax(lstBk->currentRow(), 0);
    const int selectAfter = selected == 0 ? 0 : selected - 1;
    if (!deleteBookmark(selected + 1)) {
        BookmarkStore::reportSaveFailure(m_ui, this);
        return;
    }
    Regetlist();
    if (lstBk->count() > 0)
        lstBk->setCurrentRow(selectAfter);
}

void frmBk::dcButton2_Click()
{
    reject();
}

// Empties bookmark `number`, then rewrites path1..path20 and page1..page20 from the
// remaining bookmarks in order, then the counter. The writes reach the file together,
// so a failure leaves the store exactly as it was.
bool frmBk::deleteBookmark(int number)
{
    using namespace BookmarkStore;
    IniFileEdit edit(m_iniFile);
    writeEntry(edit, number, QString(), QString());

    struct Entry {
        QString path;
        QString page;
    };
    std::array<Entry, kMaxBookmarks> remaining;
    int count = 0;
    for (int i = 1; i <= kMaxBookmarks; ++i) {
        const QString path = readPath(edit, i);
        if (!path.isEmpty())
            remaining[count++] = {path, readPage(edit, i)};
    }

    for (int i = 1; i <= kMaxBookmarks; ++i) {
        const Entry entry = i <= count ? remaining[i - 1] : Entry();
        writeEntry(edit, i, entry.path, entry.page);
    }
    edit.setValue(kSection, QStringLiteral("nextnum"), QString::number(count + 1));
    return edit.commit();
}
