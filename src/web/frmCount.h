#pragma once
// The hidden window behind the usage ping: loading it requests the counting
// page once. It is never shown, and the request is dropped as soon as the
// answer's headers arrive: nothing of the body is read.

#include <QWidget>

class QNetworkAccessManager;

class frmCount : public QWidget {
    Q_OBJECT
public:
    // Loads the window, which starts the request; owner keeps it until unloaded.
    frmCount(const QString &webServiceBase, QWidget *owner);
    ~frmCount() override;

    // The window shows nothing; all it does is one GET of the counting page,
    // so a network manager is all it needs.
    QNetworkAccessManager *WebCount;

signals:
    // Once: the counting request has left, or has failed before it could.
    void pingSent();

private:
    void Form_Load();
    void reportSent();

    QString m_webServiceBase;
    bool m_pingSent = false;
};
