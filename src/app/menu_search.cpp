// Search menu: find next, full-text search, and copying or showing the selected text.
#include "app/frmPdf.h"

#include "ui/ModalUi.h"
#include "viewer/ViewerControl.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

void frmPdf::mnuFindnext_Click()
{
    Pdfc->FindNext();
}

void frmPdf::mnuJiansuo_Click()
{
    lastSearchText = ui().inputBox(this, QStringLiteral("请您输入要检索的文字："),
                                   QStringLiteral("Vellumo 全文检索"), lastSearchText);
    if (lastSearchText.isEmpty())
        return;
    reportMiss(Pdfc->SearchAll(lastSearchText), QStringLiteral("未检索到相关内容！"),
               QStringLiteral("在能检索的部分中未检索到相关内容，文档中有部分文字无法检索！"),
               QStringLiteral("检索"));
}

void frmPdf::reportMiss(int answer, const QString &nothing, const QString &partly,
                        const QString &title)
{
    if (answer == 0)
        ui().messageBox(this, nothing, title, ModalUi::Icon::Information);
    else if (answer == ViewerControl::SearchIncomplete)
        ui().messageBox(this, partly, title, ModalUi::Icon::Information);
}

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
