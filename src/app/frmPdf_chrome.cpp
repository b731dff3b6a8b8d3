// What the window shows around the pages, which every menu's handlers set: the
// caption, a toolbar button's caption, and the keyboard focus on the pages.
#include "app/frmPdf.h"

#include "viewer/ViewerControl.h"

#include <QAction>
#include <QKeySequence>
#include <QMenuBar>
#include <QPushButton>

namespace {
const QString productName = QStringLiteral("Vellumo ");
const QString versionNumber = QStringLiteral("V3.1");
} // namespace

QString frmPdf::versionText()
{
    return versionNumber;
}

QString frmPdf::noDocumentCaption()
{
    return productName + versionNumber;
}

void frmPdf::focusPages()
{
    Pdfc->setFocus(Qt::OtherFocusReason);
}

// The menu bar wins an access key that a toolbar caption shares with a menu
// title ("查找(&F)" and "文件(&F)"): Alt+F opens the menu on the first press
// instead of only focusing the button. The caption keeps its underline.
void frmPdf::setToolbarCaption(int index, const QString &caption)
{
    QPushButton *button = Cmdc[index];
    button->setText(caption);
    const QKeySequence accessKey = QKeySequence::mnemonic(caption);
    if (accessKey.isEmpty())
        return;
    for (const QAction *title : menuBar()->actions())
        if (QKeySequence::mnemonic(title->text()) == accessKey)
            button->setShortcut(QKeySequence());
}
