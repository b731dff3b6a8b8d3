#pragma once
// The file dialog component: keeps FileName and the filter between showings.
// A cancelled dialog leaves FileName as it was.

#include <QString>

class ModalUi;
class QWidget;

class CommonDialog {
public:
    QString FileName;
    QString Filter = QStringLiteral("*.pdf|*.pdf");

    void ShowOpen(ModalUi &ui, QWidget *parent);
    void ShowSave(ModalUi &ui, QWidget *parent);
};
