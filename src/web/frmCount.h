#pragma once
// The hidden window behind the usage ping: loading it requests the counting
// page once. It is never shown and nothing of the answer is read.

#include <QWidget>

class QNetworkAccessManager;

class frmCount : public QWidget {
    Q_OBJECT
public:
    // Loads the window, which starts the request; owner keeps it until unloaded.
    frmCount(const QString &webServiceBase, QWidget *owner);

    // Stands in for the browser control of the window design: all it does is
    // one GET of the counting page.
    QNetworkAccessManager *WebCount;

private:
    void Form_Load();

    QString m_webServiceBase;
};
