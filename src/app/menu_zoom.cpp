// Zoom menu: the fit modes, with their check marks (zooming in and out is the dispatcher's).
#include "app/frmPdf.h"

#include "viewer/ViewerControl.h"

#include <QAction>

void frmPdf::mnuShiji_Click()
{
    Pdfc->setFitMode(0);
    mnuKuandu->setChecked(false);
    mnuShiji->setChecked(true);
    mnuChicun->setChecked(false);
}

void frmPdf::mnuChicun_Click()
{
    Pdfc->setFitMode(1);
    mnuKuandu->setChecked(false);
    mnuShiji->setChecked(false);
    mnuChicun->setChecked(true);
}

void frmPdf::mnuKuandu_Click()
{
    Pdfc->setFitMode(2);
    mnuKuandu->setChecked(true);
    mnuShiji->setChecked(false);
    mnuChicun->setChecked(false);
}
