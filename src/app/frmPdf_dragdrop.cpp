// Dropping a PDF on the window opens it the way the toolbar's open does.
#include "app/frmPdf.h"

#include "app/DroppedPdf.h"
#include "viewer/DocumentControl.h"

#include <QDragEnterEvent>
#include <QDropEvent>

void frmPdf::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedPdfPath(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmPdf::dropEvent(QDropEvent *event)
{
    const QString path = droppedPdfPath(event->mimeData());
    if (path.isEmpty() || m_document->isOpening())
        return;
    event->acceptProposedAction();
    openPdf(path, QString(), QString());
}
