#pragma once
// The file dialog component: keeps FileName and the filter between showings.
// A cancelled dialog leaves FileName as it was.
//
// Both dialogs start in the open document's folder, else in the folder of the
// last file chosen; the save dialog proposes the document's name when no name
// is preset.

#include <QString>

class ModalUi;
class QWidget;

class CommonDialog {
public:
    QString FileName;
    QString Filter = QStringLiteral("*.pdf|*.pdf");

    // documentPath: the open document, "" when none.
    void ShowOpen(ModalUi &ui, QWidget *parent, const QString &documentPath);
    void ShowSave(ModalUi &ui, QWidget *parent, const QString &documentPath);

private:
    QString startPath(const QString &documentPath, const QString &proposedName) const;
    void chosen(const QString &path);

    QString m_lastFolder;
};
