#include "MuPdfViewer.h"

#include "BackgroundOpen.h"
#include "FileReloader.h"
#include "OutlinePane.h"
#include "PageView.h"
#include "PdfDocument.h"
#include "PrintJob.h"
#include "PrintSpooler.h"
#include "VersionCopy.h"
#include "text/SearchResultsPane.h"
#include "text/TextLayer.h"
#include "ui/LongWork.h"
#include "ui/ModalUi.h" // the print dialog

#include <QFileInfo>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPrinter>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>

#include <algorithm>
#include <cmath>

namespace {
// Zoom factors outside this range are clamped; the view stays usable at both ends.
constexpr double kMinZoom = 0.02;
constexpr double kMaxZoom = 16.0;
constexpr int kOutlineWidth = 220;
} // namespace

MuPdfViewer::MuPdfViewer(ModalUi &ui, QWidget *parent)
    : WaitingViewer(ui, parent), m_ui(ui), m_splitter(new QSplitter(Qt::Horizontal, this)),
      m_outline(new OutlinePane(m_splitter)), m_view(new PageView(m_splitter)),
      m_text(std::make_unique<TextLayer>(*m_view)), m_spooler(cupsSpooler()),
      m_reloader(new FileReloader(this))
{
    m_splitter->addWidget(m_text->resultsPane());
    auto *box = new QHBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(m_splitter);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({kOutlineWidth, 800});
    m_outline->hide();
    setFocusProxy(m_view);

    connect(m_view, &PageView::currentPageChanged, this,
            [this](int page) { emit PageChanged(page + 1); });
    connect(m_view, &PageView::contextMenuRequested, this, [this](const QPoint &at) {
        const QPoint here = m_view->viewport()->mapTo(this, at);
        emit ContextMenuRequested(here.x(), here.y());
    });
    connect(m_view, &PageView::linkActivated, this, &ViewerControl::linkActivated);
    connect(m_view, &PageView::destinationActivated, this, &MuPdfViewer::jumpTo);
    connect(m_outline, &OutlinePane::entryChosen, this,
            [this](const OutlineEntry &entry) { jumpTo(entry.page, entry.target); });
    connect(m_text.get(), &TextLayer::jumping, this, &MuPdfViewer::rememberPlace);
    connect(m_view, &PageView::firstPageShown, this, &ViewerControl::firstPageShown);
    connect(m_reloader, &FileReloader::reloaded, this, &MuPdfViewer::showReloaded);
    // The outline marks the section being read as the view moves.
    connect(m_view->verticalScrollBar(), &QScrollBar::valueChanged, this, &MuPdfViewer::markSection);
    connect(m_view, &PageView::currentPageChanged, this, &MuPdfViewer::markSection);
    // Keys of the viewer's own, beside the menus' (which take none of them).
    new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this,
                  [this] { waitForSearch(m_text->beginFindPrevious()); });
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), this, [this] { goBack(); });
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Right), this, [this] { goForward(); });
}

MuPdfViewer::~MuPdfViewer() = default;

std::shared_ptr<LongWork> MuPdfViewer::beginOpen(const QString &path, const QString &userPassword,
                                                 const QString &ownerPassword)
{
    const std::shared_ptr<OpenJob> open = beginOpening(path, userPassword, ownerPassword);
    open->whenEnded(this, [this, job = open.get(), path, userPassword, ownerPassword] {
        // A document already open stays open when this one cannot be.
        if (job->answer() == Opened)
            showOpened(path, std::move(job->result()->document), userPassword, ownerPassword);
    });
    return open;
}

void MuPdfViewer::showOpened(const QString &path, std::shared_ptr<PdfDocument> document,
                             const QString &userPassword, const QString &ownerPassword)
{
    m_path = QFileInfo(path).absoluteFilePath();
    m_outline->setEntries(document->outline());
    m_view->setDocument(std::move(document));
    m_history.clear();
    const std::shared_ptr<const FileVersion> version = m_view->document()->version();
    m_text->documentOpened(version, userPassword, ownerPassword);
    m_reloader->watch(m_path, version->stamp(), userPassword, ownerPassword);
    markSection();
    emit PageChanged(1);
}

// The file changed on disk: its new version takes the old one's place, on the
// same page as far as it has one, with zoom, rotation and modes as they were.
void MuPdfViewer::showReloaded(std::shared_ptr<PdfDocument> document)
{
    const int page = std::min(m_view->currentPage(), document->pageCount() - 1);
    m_outline->setEntries(document->outline());
    m_view->setDocument(std::move(document));
    m_view->goToPage(page);
    markSection();
    m_text->documentOpened(m_view->document()->version(), m_reloader->userPassword(),
                           m_reloader->ownerPassword());
}

// The section being read is the one whose start lies above the top quarter of
// the view, where the reader's eyes are.
void MuPdfViewer::markSection()
{
    if (!m_view->document())
        return;
    const PagePoint at = m_view->widgetToNearestPage(QPoint(0, m_view->viewport()->height() / 4));
    m_outline->markSectionAt(at.page, at.point);
}

ViewPlace MuPdfViewer::place() const
{
    const PagePoint at = m_view->topLeftPoint();
    return {at.page, at.point};
}

void MuPdfViewer::rememberPlace()
{
    if (m_view->document())
        m_history.jumpedFrom(place());
}

void MuPdfViewer::jumpTo(int page, const QPointF &point)
{
    rememberPlace();
    m_view->showPagePoint(page, point);
}

void MuPdfViewer::goBack()
{
    if (const std::optional<ViewPlace> to = m_history.back(place()))
        m_view->showPagePoint(to->page, to->point);
}

void MuPdfViewer::goForward()
{
    if (const std::optional<ViewPlace> to = m_history.forward(place()))
        m_view->showPagePoint(to->page, to->point);
}

// The mouse's back and forward buttons walk the history, wherever in the
// viewer they are pressed.
void MuPdfViewer::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::BackButton)
        goBack();
    else if (event->button() == Qt::ForwardButton)
        goForward();
    else
        return ViewerControl::mousePressEvent(event);
    event->accept();
}

void MuPdfViewer::CloseDocument()
{
    m_reloader->stop();
    m_history.clear();
    m_text->documentClosed();
    m_view->setDocument(nullptr);
    m_outline->setEntries({});
    m_path.clear();
}

void MuPdfViewer::stopAllWork()
{
    CloseDocument();
    for (const std::shared_ptr<PrintJob> &job : m_printJobs)
        job->cancel();
    m_printJobs.clear(); // each waits for its thread, which removes its part file
}

int MuPdfViewer::CurrentPage() const
{
    return m_view->currentPage() + 1;
}

void MuPdfViewer::setCurrentPage(int page)
{
    if (!m_view->document())
        return;
    // Counted from 0 in 64 bits, so the smallest int steps down without overflow.
    const int to = int(std::clamp<qint64>(qint64(page) - 1, 0, PageCount() - 1));
    // A typed page, the first or last page or a bookmark is a jump; a step to
    // the page before or after is paging.
    if (std::abs(to - m_view->currentPage()) > 1)
        rememberPlace();
    m_view->goToPage(to);
}

int MuPdfViewer::PageCount() const
{
    return m_view->document() ? m_view->document()->pageCount() : 0;
}

double MuPdfViewer::ZoomFactor() const
{
    return m_view->zoom();
}

void MuPdfViewer::setZoomFactor(double factor)
{
    if (std::isfinite(factor) && factor > 0)
        m_view->setZoom(std::clamp(factor, kMinZoom, kMaxZoom));
}

QString MuPdfViewer::SelectedText() const
{
    return m_text->SelectedText();
}

std::shared_ptr<LongWork> MuPdfViewer::beginPrint()
{
    dropFinishedPrintJobs();
    if (!m_view->document())
        return nullptr;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(QFileInfo(m_path).fileName());
    printer->setFromTo(0, 0);
    if (!m_ui.printDialog(this, printer.get()))
        return nullptr;
    auto job = std::make_shared<PrintJob>(m_view->document(), std::move(printer), m_spooler);
    m_printJobs.push_back(job);
    job->start();
    return job;
}

std::shared_ptr<LongWork> MuPdfViewer::beginSaveCopy(const QString &target)
{
    const std::shared_ptr<PdfDocument> document = m_view->document();
    if (!document)
        return nullptr;
    return beginVersionCopy(document->version(), target);
}

void MuPdfViewer::dropFinishedPrintJobs()
{
    m_printJobs.erase(std::remove_if(m_printJobs.begin(), m_printJobs.end(),
                                     [](const auto &job) { return job->threadEnded(); }),
                      m_printJobs.end());
}

std::shared_ptr<LongWork> MuPdfViewer::beginFind(const QString &text)
{
    return m_text->beginFind(text);
}

std::shared_ptr<LongWork> MuPdfViewer::beginFindNext()
{
    return m_text->beginFindNext();
}

std::shared_ptr<LongWork> MuPdfViewer::beginSearchAll(const QString &text)
{
    return m_text->beginSearchAll(text);
}

qint16 MuPdfViewer::MouseMode() const
{
    return qint16(m_view->mouseTool());
}

void MuPdfViewer::setMouseMode(qint16 mode)
{
    m_view->setMouseTool(mode == 1 ? PageView::MouseTool::Text : PageView::MouseTool::Hand);
}

QString MuPdfViewer::DocumentPath() const
{
    return m_path;
}

int MuPdfViewer::OutlineVisible() const
{
    return m_outline->isHidden() ? 0 : 1;
}

void MuPdfViewer::setOutlineVisible(int visible)
{
    m_outline->setVisible(visible != 0);
}

void MuPdfViewer::setPageLayout(qint16 layout)
{
    if (layout == 0 || layout == 1)
        m_view->setContinuous(layout == 1);
}

void MuPdfViewer::setFitMode(qint16 mode)
{
    if (mode < 0 || mode > 2)
        return;
    m_view->setFitMode(static_cast<FitMode>(mode));
    // A page fitted to the window is shown whole, not the old offset across two.
    if (static_cast<FitMode>(mode) == FitMode::Window && m_view->document())
        m_view->goToPage(m_view->currentPage());
}

void MuPdfViewer::setRotation(int degrees)
{
    if (degrees % 90 == 0)
        m_view->setRotation(((degrees % 360) + 360) % 360);
}
