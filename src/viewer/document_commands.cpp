// File menu: save a copy, print, close.
#include "app/frmPdf.h"

#include "ui/ModalUi.h"
#include "viewer/ViewerControl.h"

#include <QFileInfo>

void frmPdf::mnuSf_Click()
{
    const QString source = Pdfc->DocumentPath();
    Cdf.ShowSave(ui(), this, source);
    const QString target = Cdf.FileName;
    if (target.isEmpty() || source.isEmpty())
        return;
    // The open document as its own target already holds these bytes.
    const bool itself = QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath()
                        && QFileInfo::exists(target);
    const int saved = itself ? ViewerControl::Saved : Pdfc->SaveCopy(target);
    if (saved == ViewerControl::SaveCancelled)
        return;
    if (saved != ViewerControl::Saved) {
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
