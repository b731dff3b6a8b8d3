// File menu: save a copy, print, close.
#include "app/frmPdf.h"

#include "ui/ModalUi.h"
#include "viewer/FileCopy.h"
#include "viewer/ViewerControl.h"

void frmPdf::mnuSf_Click()
{
    const QString source = Pdfc->DocumentPath();
    Cdf.ShowSave(ui(), this, source);
    const QString target = Cdf.FileName;
    if (target.isEmpty() || source.isEmpty())
        return;
    if (!copyFileReplacing(source, target)) {
        ui().messageBox(this, QStringLiteral("无法保存文件！"), QStringLiteral("提示"),
                        ModalUi::Icon::Error);
        return;
    }
    Cdf.FileName.clear();
}

void frmPdf::mnuPr_Click()
{
    if (!Pdfc->DocumentPath().isEmpty())
        Pdfc->PrintDocument();
}

void frmPdf::mnuCf_Click()
{
    Pdfc->CloseDocument();
    setWindowTitle(noDocumentCaption());
}
