#include "RecordingViewer.h"

#include <QTimer>

int RecordingViewer::callCount(const QString &prefix) const
{
    int n = 0;
    for (const QString &c : calls)
        n += c.startsWith(prefix) ? 1 : 0;
    return n;
}

int RecordingViewer::OpenDocument(const QString &path, const QString &userPassword,
                                  const QString &ownerPassword)
{
    record(QStringLiteral("OpenDocument(%1,%2,%3)").arg(path, userPassword, ownerPassword));
    opens.append({path, userPassword, ownerPassword});
    if (duringOpen)
        duringOpen();
    int status = 0;
    if (!openStatuses.empty()) {
        status = openStatuses.front();
        openStatuses.pop_front();
    }
    if (status == 0) {
        documentPath = pathAfterOpen.isEmpty() ? path : pathAfterOpen;
        // As the real view does once it has painted the new document.
        QTimer::singleShot(0, this, &ViewerControl::firstPageShown);
    }
    return status;
}

void RecordingViewer::CloseDocument()
{
    record(QStringLiteral("CloseDocument()"));
    documentPath.clear();
}

int RecordingViewer::CurrentPage() const
{
    record(QStringLiteral("CurrentPage()"));
    return currentPage;
}

void RecordingViewer::setCurrentPage(int page)
{
    record(QStringLiteral("setCurrentPage(%1)").arg(page));
    currentPage = page;
}

int RecordingViewer::PageCount() const
{
    record(QStringLiteral("PageCount()"));
    return pageCount;
}

double RecordingViewer::ZoomFactor() const
{
    record(QStringLiteral("ZoomFactor()"));
    return zoomFactor;
}

void RecordingViewer::setZoomFactor(double factor)
{
    record(QStringLiteral("setZoomFactor(%1)").arg(factor));
    zoomFactor = factor;
}

QString RecordingViewer::SelectedText() const
{
    record(QStringLiteral("SelectedText()"));
    return selectedText;
}

void RecordingViewer::PrintDocument()
{
    record(QStringLiteral("PrintDocument()"));
}

int RecordingViewer::SaveCopy(const QString &target)
{
    record(QStringLiteral("SaveCopy(%1)").arg(target));
    return saveStatus;
}

int RecordingViewer::FindText(const QString &text)
{
    record(QStringLiteral("FindText(%1)").arg(text));
    return findResult;
}

void RecordingViewer::FindNext()
{
    record(QStringLiteral("FindNext()"));
}

int RecordingViewer::SearchAll(const QString &text)
{
    record(QStringLiteral("SearchAll(%1)").arg(text));
    return searchAllResult;
}

qint16 RecordingViewer::MouseMode() const
{
    record(QStringLiteral("MouseMode()"));
    return mouseMode;
}

void RecordingViewer::setMouseMode(qint16 mode)
{
    record(QStringLiteral("setMouseMode(%1)").arg(mode));
    mouseMode = mode;
}

QString RecordingViewer::DocumentPath() const
{
    record(QStringLiteral("DocumentPath()"));
    return documentPath;
}

int RecordingViewer::OutlineVisible() const
{
    record(QStringLiteral("OutlineVisible()"));
    return outlineVisible;
}

void RecordingViewer::setOutlineVisible(int visible)
{
    record(QStringLiteral("setOutlineVisible(%1)").arg(visible));
    outlineVisible = visible;
}

void RecordingViewer::setPageLayout(qint16 layout)
{
    record(QStringLiteral("setPageLayout(%1)").arg(layout));
}

void RecordingViewer::setFitMode(qint16 mode)
{
    record(QStringLiteral("setFitMode(%1)").arg(mode));
}

void RecordingViewer::setRotation(int degrees)
{
    record(QStringLiteral("setRotation(%1)").arg(degrees));
}
