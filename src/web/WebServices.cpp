#include "web/WebServices.h"

#include "ui/ModalUi.h"
#include "web/BrowserOpener.h"
#include "web/StartPagePane.h"
#include "web/frmAbout.h"
#include "web/frmCount.h"

#include <QUrl>

WebServices::WebServices(const QString &webServiceBase, ModalUi &ui, QWidget *owner)
    : QObject(owner), m_webServiceBase(webServiceBase), m_ui(ui), m_owner(owner)
{
}

void WebServices::start(StartPagePane *startPage)
{
    if (m_started)
        return; // once a run, the ping and the start page
    m_started = true;
    m_countWindow = new frmCount(m_webServiceBase, m_owner);
    m_countWindow->setVisible(false);
    // The service should see a start's ping before its start page, so the pane
    // asks for the page only once the ping has gone out (or failed).
    const QString startAddress = m_webServiceBase + QStringLiteral("/start/");
    connect(m_countWindow, &frmCount::pingSent, startPage,
            [startPage, startAddress] { startPage->Navigate(startAddress); });
}

void WebServices::unloadCountWindow()
{
    delete m_countWindow;
    m_countWindow = nullptr;
}

QString WebServices::address(Page page) const
{
    switch (page) {
    case Page::Help:
        return m_webServiceBase + QStringLiteral("/help/");
    case Page::Feedback:
        return m_webServiceBase + QStringLiteral("/fk/");
    case Page::NewVersion:
        return m_webServiceBase + QStringLiteral("/newver/");
    }
    return QString();
}

void WebServices::OpenWebPage(const QString &address)
{
    browser::open(QUrl(address));
}

void WebServices::showAbout(const QString &productCaption, const QString &version)
{
    frmAbout dialog(*m_owner, productCaption, version);
    m_ui.runModal(&dialog);
}
