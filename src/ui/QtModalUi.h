#pragma once
// The modal seam with the real Qt dialogs.

#include "ui/ModalUi.h"

class QtModalUi : public ModalUi {
public:
    QString inputBox(QWidget *parent, const QString &prompt, const QString &title,
                     const QString &defaultText) override;
    void messageBox(QWidget *parent, const QString &text, const QString &title, Icon icon) override;
    QString openFileName(QWidget *parent, const QString &filter, const QString &start) override;
    QString saveFileName(QWidget *parent, const QString &filter, const QString &start) override;
    void popupMenu(QMenu *menu) override;
    void runModal(QDialog *dialog) override;
    bool printDialog(QWidget *parent, QPrinter *printer) override;
    bool waitWithProgress(QWidget *parent, const QString &label, LongWork &work) override;
};
