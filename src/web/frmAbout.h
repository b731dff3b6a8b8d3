#pragma once
// The About window: product name, version, a one-line description, the
// project's contact lines and logo. Created for each showing, always modal.

#include <QDialog>

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    // The window has no owner; mainWindow only lends its icon. productCaption is
    // the program's name with its version ("Vellumo V3.1"), version the version alone.
    frmAbout(const QWidget &mainWindow, const QString &productCaption, const QString &version);

    void dcButton1_Click();

    QLabel *Label1, *lblVer, *Label3, *Label4, *Label5, *Label6, *Label8;
    QLabel *Image1;
    QLabel *Label7;
    QPushButton *dcButton1;

protected:
    // The three rules that set the name, the description and the contact lines apart.
    void paintEvent(QPaintEvent *event) override;

private:
    void Form_Load(const QWidget &mainWindow, const QString &productCaption,
                   const QString &version);
};
