// The toolbar's command dispatcher and the menu items that only forward to it.
#include "app/frmPdf.h"

#include "ui/TypedPage.h"
#include "ui/ModalUi.h"
#include "viewer/ViewerControl.h"
#include "viewer/pdf/ZoomSteps.h"

#include <QLineEdit>

void frmPdf::Cmdc_Click(qint16 Index)
{
    switch (Index) {
    case 0: // open a file
        Cdf.ShowOpen(ui(), this, Pdfc->DocumentPath());
        if (Cdf.FileName.isEmpty())
            return;
        openPdf(Cdf.FileName, QString(), QString());
        Cdf.FileName.clear();
        return;
    case 1: // previous page
        if (Pdfc->CurrentPage() <= 1)
            return;
        Pdfc->setCurrentPage(Pdfc->CurrentPage() - 1);
        return;
    case 2: { // next page
        const qint32 count = Pdfc->PageCount();
        if (Pdfc->CurrentPage() >= count)
            return;
        Pdfc->setCurrentPage(Pdfc->CurrentPage() + 1);
        return;
    }
    case 3: // zoom in
        if (const auto next = zoomSteps::zoomIn(Pdfc->ZoomFactor()))
            Pdfc->setZoomFactor(*next);
        return;
    case 4: // zoom out
        if (const auto next = zoomSteps::zoomOut(Pdfc->ZoomFactor()))
            Pdfc->setZoomFactor(*next);
        return;
    case 5: // find text
        lastFindText = ui().inputBox(this, QStringLiteral("请您输入要查找的文本："),
                                     QStringLiteral("Vellumo 全文查找文字"), lastFindText);
        if (lastFindText.isEmpty())
            return;
        reportMiss(Pdfc->FindText(lastFindText), QStringLiteral("没有找到相关的内容！"),
                   QStringLiteral("在能查找的部分中没有找到相关的内容，文档中有部分文字无法查找！"),
                   QStringLiteral("Vellumo 查找"));
        return;
    case 6: // rotation pop-up
        ui().popupMenu(mnuXuan);
        return;
    case 7: // outline on/off, following the viewer's own state
        if (Pdfc->OutlineVisible() == 1)
            mnuHm_Click();
        else
            mnuSm_Click();
        return;
    case 8:
        Pdfc->PrintDocument();
        return;
    case 9:
        mnuAbout_Click();
        return;
    case 10: // go to the typed page, without any range check
        if (const std::optional<qint32> page = parseTypedPage(Txtp->text()))
            Pdfc->setCurrentPage(*page);
        return;
    default:
        return;
    }
}

void frmPdf::mnuOpen_Click() { Cmdc_Click(0); }
void frmPdf::mnuBp_Click() { Cmdc_Click(1); }
void frmPdf::mnuNp_Click() { Cmdc_Click(2); }
void frmPdf::mnuDa_Click() { Cmdc_Click(3); }
void frmPdf::mnuXiao_Click() { Cmdc_Click(4); }
void frmPdf::mnuFindt_Click() { Cmdc_Click(5); }
