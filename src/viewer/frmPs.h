#pragma once
// The password prompt for a protected document; OK retries the open with the
// typed passwords, Cancel gives up.

#include <QDialog>

class frmPdf;
class QLabel;
class QLineEdit;
class QPushButton;

class frmPs : public QDialog {
    Q_OBJECT
public:
    frmPs(frmPdf &mainWindow, QWidget *parent);

    void dcButton1_Click();
    void dcButton2_Click();
    // However the prompt closes, the typed passwords do not stay behind in it.
    void done(int result) override;

    QLabel *Label1;
    QLineEdit *txtUpw;
    QLabel *Label2;
    QPushButton *dcButton1;
    QPushButton *dcButton2;
    QLineEdit *txtOpw;

private:
    frmPdf &m_main;
};
