// The viewer's events: page status on the toolbar, and the context menu by tool.
#include "app/frmPdf.h"

#include "ui/ModalUi.h"
#include "viewer/ViewerControl.h"

#include <QLabel>
#include <QLineEdit>

namespace {
// A number with its sign position: " 12" for 12, "-3" for -3.
QString signedText(qint32 n)
{
    return n < 0 ? QString::number(n) : QStringLiteral(" ") + QString::number(n);
}
} // namespace

void frmPdf::Pdfc_PageChanged(int page)
{
    const qint32 count = Pdfc->PageCount();
    const QString pageText = signedText(page);
    lblPage->setText(QStringLiteral("第") + pageText + QStringLiteral(" 页，共") + signedText(count)
                     + QStringLiteral(" 页。"));
    Txtp->setText(pageText.mid(1));
}

void frmPdf::Pdfc_ContextMenuRequested(int, int)
{
    if (Pdfc->MouseMode() == 0)
        ui().popupMenu(mnuOp);
    else
        ui().popupMenu(mnuSearch);
}
