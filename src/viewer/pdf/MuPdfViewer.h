#pragma once
// The viewer on MuPDF: an outline pane, the page view and the search results
// side by side in a splitter. Pages are numbered from 1 here, as ViewerControl
// wants; the parts inside number them from 0. Search and selection live in the
// text layer, which attaches to the page view; this class forwards to it.
// Long work (open, search, print, save) is started here as jobs and never
// waited for: WaitingViewer waits for them.

#include "JumpHistory.h"
#include "viewer/WaitingViewer.h"

#include <memory>
#include <vector>

class FileReloader;
class ModalUi;
class OutlinePane;
class PageView;
class PdfDocument;
class PrintJob;
class PrintSpooler;
class TextLayer;
class QSplitter;

class MuPdfViewer : public WaitingViewer {
    Q_OBJECT
public:
    // ui shows the print dialog, and the progress of the jobs waited for.
    explicit MuPdfViewer(ModalUi &ui, QWidget *parent = nullptr);
    ~MuPdfViewer() override;

    std::shared_ptr<LongWork> beginOpen(const QString &path, const QString &userPassword,
                                        const QString &ownerPassword) override;
    std::shared_ptr<LongWork> beginFind(const QString &text) override;
    std::shared_ptr<LongWork> beginFindNext() override;
    std::shared_ptr<LongWork> beginSearchAll(const QString &text) override;
    std::shared_ptr<LongWork> beginPrint() override;
    std::shared_ptr<LongWork> beginSaveCopy(const QString &target) override;

    void CloseDocument() override;

    int CurrentPage() const override;
    void setCurrentPage(int page) override;
    int PageCount() const override;
    double ZoomFactor() const override;
    void setZoomFactor(double factor) override;

    QString SelectedText() const override;

    qint16 MouseMode() const override;
    void setMouseMode(qint16 mode) override;
    QString DocumentPath() const override;

    int OutlineVisible() const override;
    void setOutlineVisible(int visible) override;
    void setPageLayout(qint16 layout) override;
    void setFitMode(qint16 mode) override;
    void setRotation(int degrees) override;

    // Where printers get their pages; the system's CUPS unless replaced.
    void setPrintSpooler(std::shared_ptr<PrintSpooler> spooler) { m_spooler = std::move(spooler); }

    // Before the program quits: closes the document and ends every print, so no
    // thread of the viewer's is left writing a file or posting to Qt.
    void stopAllWork();

    PageView *pageView() const { return m_view; }
    OutlinePane *outlinePane() const { return m_outline; }

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void dropFinishedPrintJobs();
    // Jumps are kept in the history (Alt+Left / Alt+Right, the mouse's back and
    // forward buttons); scrolling and paging are not.
    ViewPlace place() const;
    void rememberPlace();
    void jumpTo(int page, const QPointF &point);
    void goBack();
    void goForward();
    void showOpened(const QString &path, std::shared_ptr<PdfDocument> document,
                    const QString &userPassword, const QString &ownerPassword);
    void showReloaded(std::shared_ptr<PdfDocument> document);
    void markSection();

    ModalUi &m_ui; // for the print dialog
    QSplitter *m_splitter;
    OutlinePane *m_outline;
    PageView *m_view;
    std::unique_ptr<TextLayer> m_text; // destroyed before the view it attaches to
    QString m_path; // absolute; "" exactly when no document is open
    std::shared_ptr<PrintSpooler> m_spooler;
    FileReloader *m_reloader; // keeps the passwords given at open
    JumpHistory m_history;    // of the open document
    // Print jobs until their threads end, shared with whoever waits for them:
    // a job given up on still ends its thread, which stopAllWork waits for.
    std::vector<std::shared_ptr<PrintJob>> m_printJobs;
};
