#pragma once
// The About window: product name, version, a one-line description, the
// project's contact lines and logo. Created for each showing, always modal.

#include <QDialog>

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    // The window has no owner; mainWindow only lends its icon.
    explicit frmAbout(const QWidget &mainWindow);

    void dcButton1_Click();

    QLabel *Label1, *lblVer, *Label3, *Label4, *Label5, *Label6, *Label8;
    QLabel *Image1;
    QLabel *Label7;
    QPushButton *dcButton1;

protected:
    // Line1, Line2 and Line3 of the design.
    void paintEvent(QPaintEvent *event) override;

private:
    void Form_Load(const QWidget &mainWindow);
};
