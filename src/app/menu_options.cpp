// Options menu: first page, last page, go to a typed page, and the rotations.
#include "app/frmPdf.h"

#include "ui/TypedPage.h"
#include "ui/ModalUi.h"
#include "viewer/ViewerControl.h"

void frmPdf::mnuBack_Click()
{
    if (Pdfc->DocumentPath().isEmpty())
        return;
    Pdfc->setCurrentPage(1);
}

void frmPdf::mnuLastpage_Click()
{
    if (Pdfc->DocumentPath().isEmpty())
        return;
    Pdfc->setCurrentPage(Pdfc->PageCount());
}

void frmPdf::mnuGopage_Click()
{
    // The prompt is shown even with no document; what is typed is then dropped.
    const QString typed = ui().inputBox(this, QStringLiteral("请您输入要跳转到的页面："),
                                        QStringLiteral("转到页面"), QString());
    if (Pdfc->DocumentPath().isEmpty())
        return;
    if (const std::optional<qint32> page = parseTypedPage(typed))
        Pdfc->setCurrentPage(*page);
}

void frmPdf::mnuTo0_Click() { Pdfc->setRotation(0); }
void frmPdf::mnuTo90_Click() { Pdfc->setRotation(90); }
void frmPdf::mnuTo180_Click() { Pdfc->setRotation(180); }
void frmPdf::mnuTo360_Click() { Pdfc->setRotation(270); }
