// The Help menu and the web service behind it: the ping and start page at
// start-up, the Help pages, and About.
#include "app/frmPdf.h"

#include "web/WebServices.h"

void frmPdf::startWebServices()
{
    m_web->start(Toweb);
}

void frmPdf::unloadCountWindow()
{
    m_web->unloadCountWindow();
}

void frmPdf::OpenWebPage(const QString &address)
{
    WebServices::OpenWebPage(address);
}

void frmPdf::mnuNethelp_Click()
{
    OpenWebPage(m_web->address(WebServices::Page::Help));
}

void frmPdf::mnuFankui_Click()
{
    OpenWebPage(m_web->address(WebServices::Page::Feedback));
}

void frmPdf::mnuJup_Click()
{
    OpenWebPage(m_web->address(WebServices::Page::NewVersion));
}

void frmPdf::mnuAbout_Click()
{
    m_web->showAbout(noDocumentCaption(), versionText());
}
