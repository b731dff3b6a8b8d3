// Placeholder handlers until the web subsystem lands.
#include "app/frmPdf.h"

void frmPdf::startWebServices() {}
void frmPdf::unloadCountWindow() {}
void frmPdf::OpenWebPage(const QString &) {}
void frmPdf::mnuNethelp_Click() {}
void frmPdf::mnuFankui_Click() {}
void frmPdf::mnuJup_Click() {}
void frmPdf::mnuAbout_Click() {}
