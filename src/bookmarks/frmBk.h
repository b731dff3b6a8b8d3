#pragma once
// The bookmark manager: lists every stored bookmark and deletes the selected one,
// renumbering the rest so the numbers stay contiguous from 1. Loaded afresh each
// time it is shown; shows no messages except when bk.ini cannot be written.

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
    // showbk brings the main window's bookmark items in line with the store; it runs
    // after every refill of the list.
    frmBk(const QString &iniFile, ModalUi &ui, const QIcon &mainWindowIcon,
          std::function<void()> showbk, QWidget *parent = nullptr);

    void Regetlist();
    void dcButton1_Click();
    void dcButton2_Click();

    QListWidget *lstBk;
    QPushButton *dcButton1;
    QPushButton *dcButton2;

private:
    QString m_iniFile;
    ModalUi &m_ui;
    std::function<void()> m_showbk;
};
