// Search menu: copy and show the selected text.
#include "app/frmPdf.h"

#include "ui/ModalUi.h"
#include "viewer/ViewerControl.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

void frmPdf::mnuCopy_Click()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    // Plain text only: the previous contents, whatever their formats, are replaced.
    auto *data = new QMimeData;
    data->setText(Pdfc->SelectedText());
    clipboard->setMimeData(data);
}

void frmPdf::mnuSt_Click()
{
    ui().messageBox(this, Pdfc->SelectedText(), QStringLiteral("Vellumo 显示所选内容"),
                    ModalUi::Icon::Information);
}
