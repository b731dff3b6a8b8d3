#pragma once
// The bookmark items of a menu and what choosing them does: item 0, the
// "尚未添加书签" placeholder, and items 1..20 that show the stored bookmarks;
// adding a page, the manager window, and choosing an item. Messages go through
// ModalUi; the window decides what opening a chosen bookmark means.

#include "bookmarks/BookmarkStore.h"

#include <QObject>
#include <QString>
#include <QVector>

#include <optional>

class ModalUi;
class QAction;
class QIcon;
class QMenu;
class QWidget;

class BookmarkMenu : public QObject {
    Q_OBJECT
public:
    // Adds the placeholder at the end of menu. bookmarkDir holds bk.ini (see
    // BookmarkStore::filePath); window is the parent of the messages and the manager.
    BookmarkMenu(QMenu *menu, const QString &bookmarkDir, ModalUi &ui, QWidget *window);

    // Start-up: items 1..20 after the placeholder, the placeholder disabled, then show().
    void createItems();
    // The items as bk.ini holds the bookmarks now.
    void show();
    // Stores the page as a bookmark unless 20 are stored, and says how that went.
    void add(const QString &documentPath, int page);
    // The manager window; the items follow each deletion made in it.
    void manage(const QIcon &windowIcon);

    // What choosing an item opens: the file, then the page when the stored page is a number.
    struct Destination {
        QString path;
        std::optional<int> page;
    };
    // Bookmark `index` (1..20), or nothing, with a message, when its file is gone.
    std::optional<Destination> choose(int index);

    // Element 0 the placeholder, 1..20 once created.
    const QVector<QAction *> &items() const { return m_items; }
    QString storeFile() const;

signals:
    // Item `index` was triggered.
    void chosen(int index);

private:
    void show(const QList<BookmarkStore::Bookmark> &bookmarks);

    QMenu *m_menu;
    QString m_bookmarkDir;
    ModalUi &m_ui;
    QWidget *m_window;
    QVector<QAction *> m_items;
};
