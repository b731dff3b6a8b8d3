#include "MuPdfViewer.h"

#include "BackgroundOpen.h"

#include "OutlinePane.h"
#include "PageView.h"
#include "PdfDocument.h"
#include "PrintJob.h"
#include "text/SearchResultsPane.h"
#include "text/TextLayer.h"
#include "ui/ModalUi.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPrinter>
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
    : ViewerControl(parent), m_ui(ui), m_splitter(new QSplitter(Qt::Horizontal, this)),
      m_outline(new OutlinePane(m_splitter)), m_view(new PageView(m_splitter)),
      m_text(std::make_unique<TextLayer>(*m_view, ui))
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
    connect(m_outline, &OutlinePane::pageChosen, m_view, &PageView::goToPage);
}

MuPdfViewer::~MuPdfViewer() = default;

int MuPdfViewer::OpenDocument(const QString &path, const QString &userPassword,
                              const QString &ownerPassword)
{
    PdfDocument::Opened opened =
        openWithoutFreezing(path, userPassword, ownerPassword, m_ui, this);
    if (opened.status != Opened)
        return opened.status; // a document already open stays open
    m_path = QFileInfo(path).absoluteFilePath();
    m_outline->setEntries(opened.document->outline());
    m_view->setDocument(std::move(opened.document));
    m_text->documentOpened(m_path, userPassword, ownerPassword);
    emit PageChanged(1);
    return Opened;
}

void MuPdfViewer::CloseDocument()
{
    m_text->documentClosed();
    m_view->setDocument(nullptr);
    m_outline->setEntries({});
    m_path.clear();
}

int MuPdfViewer::CurrentPage() const
{
    return m_view->currentPage() + 1;
}

void MuPdfViewer::setCurrentPage(int page)
{
    // Counted from 0 in 64 bits, so the smallest int steps down without overflow.
    if (m_view->document())
        m_view->goToPage(int(std::clamp<qint64>(qint64(page) - 1, 0, PageCount() - 1)));
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

void MuPdfViewer::PrintDocument()
{
    dropFinishedPrintJobs();
    if (!m_view->document())
        return;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(QFileInfo(m_path).fileName());
    printer->setFromTo(0, 0);
    if (!m_ui.printDialog(this, printer.get()))
        return;
    auto job = std::make_shared<PrintJob>(m_view->document(), std::move(printer));
    m_printJobs.push_back(job);
    job->start();
    const bool completed = m_ui.waitWithProgress(this, QStringLiteral("正在打印，请稍候……"),
                                                 [job] { return job->progress(); });
    if (!completed)
        job->cancel(); // it ends on its own; dropped with the next print or the viewer
}

void MuPdfViewer::dropFinishedPrintJobs()
{
    m_printJobs.erase(std::remove_if(m_printJobs.begin(), m_printJobs.end(),
                                     [](const auto &job) { return job->finished(); }),
                      m_printJobs.end());
}

int MuPdfViewer::FindText(const QString &text)
{
    return m_text->FindText(text);
}

void MuPdfViewer::FindNext()
{
    m_text->FindNext();
}

int MuPdfViewer::SearchAll(const QString &text)
{
    return m_text->SearchAll(text);
}

qint16 MuPdfViewer::MouseMode() const
{
    return m_mouseMode;
}

void MuPdfViewer::setMouseMode(qint16 mode)
{
    m_mouseMode = mode;
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
    if (mode >= 0 && mode <= 2)
        m_view->setFitMode(static_cast<FitMode>(mode));
}

void MuPdfViewer::setRotation(int degrees)
{
    if (degrees % 90 == 0)
        m_view->setRotation(((degrees % 360) + 360) % 360);
}
