#pragma once
// The bookmark manager: lists every stored bookmark and deletes the selected one,
// renumbering the rest so the numbers stay contiguous from 1. Loaded afresh each
// time it is shown; shows no messages except when bk.ini cannot be written.

#include "bookmarks/BookmarkStore.h"

#include <QDialog>
#include <QString>

#include <functional>

class ModalUi;
class QIcon;
class QListWidget;
class QPushButton;

class frmBk : public QDialog {
    Q_OBJECT
public:
    using ShowBookmarks = std::function<void(const QList<BookmarkStore::Bookmark> &)>;

    // showbk brings the main window's bookmark items in line with the store; it runs
    // after every refill of the list, with the bookmarks the list was filled from.
    frmBk(const QString &iniFile, ModalUi &ui, const QIcon &mainWindowIcon,
          ShowBookmarks showbk, QWidget *parent = nullptr);

    // Reads the store and refills the list.
    void Regetlist();
    void dcButton1_Click();
    void dcButton2_Click();

    QListWidget *lstBk;
    QPushButton *dcButton1;
    QPushButton *dcButton2;

private:
    void showList(const QList<BookmarkStore::Bookmark> &bookmarks);

    QString m_iniFile;
    ModalUi &m_ui;
    ShowBookmarks m_showbk;
};
