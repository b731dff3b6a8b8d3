#include "app/CommonDialog.h"

#include "ui/ModalUi.h"

void CommonDialog::ShowOpen(ModalUi &ui, QWidget *parent)
{
    const QString chosen = ui.openFileName(parent, Filter, FileName);
    if (!chosen.isEmpty())
        FileName = chosen;
}

void CommonDialog::ShowSave(ModalUi &ui, QWidget *parent)
{
    const QString chosen = ui.saveFileName(parent, Filter, FileName);
    if (!chosen.isEmpty())
        FileName = chosen;
}
