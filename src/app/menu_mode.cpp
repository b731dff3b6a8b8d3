// Mode menu: page layout, mouse tool and outline pane, with their check marks.
#include "app/frmPdf.h"

#include "viewer/ViewerControl.h"

#include <QAction>

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
