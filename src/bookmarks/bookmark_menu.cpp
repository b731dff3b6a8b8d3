// Placeholder handlers until the bookmark store lands.
#include "app/frmPdf.h"

#include <QAction>
#include <QMenu>

void frmPdf::createBookmarkItems() {}
void frmPdf::mnuAddbk_Click() {}
void frmPdf::mnuBkm_Click() {}
void frmPdf::mnuBk_Click(qint16) {}
void frmPdf::Showbk() {}
