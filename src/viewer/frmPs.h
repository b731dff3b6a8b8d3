#pragma once
// The password prompt for a protected document. OK hands the typed passwords
// on for another try at the file, Cancel gives up; the prompt opens nothing
// itself, so the caller retries once it has closed.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

class frmPs : public QDialog {
    Q_OBJECT
public:
    frmPs(const QString &pendingPath, QWidget *parent);

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

signals:
    // OK: try pendingPath again with these passwords.
    void passwordsGiven(const QString &pendingPath, const QString &userPassword,
                        const QString &ownerPassword);
    // The Cancel button (closing the window is not a cancel).
    void cancelled();

private:
    QString m_pendingPath;
};
