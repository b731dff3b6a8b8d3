#pragma once
// What the program asks of its web service: the usage ping through the hidden
// counting window, then the start page; the Help pages opened in the user's
// browser; and the About window.

#include <QObject>
#include <QString>

class ModalUi;
class StartPagePane;
class QWidget;
class frmCount;

class WebServices : public QObject {
    Q_OBJECT
public:
    // webServiceBase e.g. "http://vellumo.example", no trailing slash; owner keeps
    // the counting window and lends its icon to About.
    WebServices(const QString &webServiceBase, ModalUi &ui, QWidget *owner);

    // Once a run: loads the counting window, and once its ping has gone out (or
    // failed), sends startPage to the start page.
    void start(StartPagePane *startPage);
    // Releases the counting window; nothing when it is not loaded.
    void unloadCountWindow();
    frmCount *countWindow() const { return m_countWindow; }

    enum class Page { Help, Feedback, NewVersion };
    QString address(Page page) const;
    // Hands the address to the user's browser.
    static void OpenWebPage(const QString &address);

    // A fresh About window, modal; productCaption "Vellumo V3.1", version "V3.1".
    void showAbout(const QString &productCaption, const QString &version);

private:
    QString m_webServiceBase;
    ModalUi &m_ui;
    QWidget *m_owner;
    frmCount *m_countWindow = nullptr;
    bool m_started = false;
};
