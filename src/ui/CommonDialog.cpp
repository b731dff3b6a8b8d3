#include "ui/CommonDialog.h"

#include "ui/ModalUi.h"

#include <QDir>
#include <QFileInfo>

void CommonDialog::ShowOpen(ModalUi &ui, QWidget *parent, const QString &documentPath)
{
    chosen(ui.openFileName(parent, Filter, startPath(documentPath, QString())));
}

void CommonDialog::ShowSave(ModalUi &ui, QWidget *parent, const QString &documentPath)
{
    const QString proposed = documentPath.isEmpty() ? QString() : QFileInfo(documentPath).fileName();
    chosen(ui.saveFileName(parent, Filter, startPath(documentPath, proposed)));
}

// The folder to start in, joined with the name to show; a preset FileName wins
// over the proposed name, and a preset full path is used as it is.
QString CommonDialog::startPath(const QString &documentPath, const QString &proposedName) const
{
    const QString folder =
        documentPath.isEmpty() ? m_lastFolder : QFileInfo(documentPath).absolutePath();
    const QString name = FileName.isEmpty() ? proposedName : FileName;
    if (folder.isEmpty() || QFileInfo(name).isAbsolute())
        return name;
    return name.isEmpty() ? folder : QDir(folder).filePath(name);
}

void CommonDialog::chosen(const QString &path)
{
    if (path.isEmpty())
        return;
    FileName = path;
    m_lastFolder = QFileInfo(path).absolutePath();
}
