// Rotation, fit mode, page layout, mouse tool and outline pane, with their check marks.
#include "app/frmPdf.h"

#include "viewer/ViewerControl.h"

#include <QAction>

void frmPdf::mnuTo0_Click() { Pdfc->setRotation(0); }
void frmPdf::mnuTo90_Click() { Pdfc->setRotation(90); }
void frmPdf::mnuTo180_Click() { Pdfc->setRotation(180); }
void frmPdf::mnuTo360_Click() { Pdfc->setRotation(270); }

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

void frmPdf::mnuSp_Click()
{
    Pdfc->setPageLayout(0);
    mnuMp->setChecked(false);
    mnuSp->setChecked(true);
}

void frmPdf::mnuMp_Click()
{
    Pdfc->setPageLayout(1);
    mnuMp->setChecked(true);
    mnuSp->setChecked(false);
}

void frmPdf::mnuTuoya_Click()
{
    Pdfc->setMouseMode(0);
    mnuTuoya->setChecked(true);
    mnuXuanze->setChecked(false);
}

void frmPdf::mnuXuanze_Click()
{
    Pdfc->setMouseMode(1);
    mnuTuoya->setChecked(false);
    mnuXuanze->setChecked(true);
}

void frmPdf::mnuSm_Click()
{
    Pdfc->setOutlineVisible(1);
    mnuHm->setChecked(false);
    mnuSm->setChecked(true);
    setToolbarCaption(7, QStringLiteral("隐藏目录(&H)"));
}

void frmPdf::mnuHm_Click()
{
    Pdfc->setOutlineVisible(0);
    mnuHm->setChecked(true);
    mnuSm->setChecked(false);
    setToolbarCaption(7, QStringLiteral("显示目录(&S)"));
}
