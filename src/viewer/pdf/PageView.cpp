#include "PageView.h"

#include "PageViewAccessible.h"
#include "ZoomSteps.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {
const QColor kBackground(0x80, 0x80, 0x80);
// A painted frame still has to pass through the window system before anyone
// sees it; work started at once (the text index, the web requests) competes
// with that for the cores and held the first page back by about 5 ms.
constexpr std::chrono::milliseconds kFrameOnScreen(50);
} // namespace

PageView::PageView(QWidget *parent) : QAbstractScrollArea(parent), m_scroller(*this)
{
    connect(&m_scroller, &ViewScroller::currentPageChanged, this, &PageView::currentPageChanged);
    connect(&m_scroller, &ViewScroller::viewChanged, this, &PageView::viewChanged);
    connect(&m_scroller, &ViewScroller::scaleChanged, &m_tiles, &TileSource::invalidate);
    connect(&m_tiles, &TileSource::tileArrived, viewport(), qOverload<>(&QWidget::update));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::OpenHandCursor);
    viewport()->setMouseTracking(true); // the pointing hand over links
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    PageViewAccessible::install();
}

void PageView::setDocument(std::shared_ptr<PdfDocument> document)
{
    m_tiles.setDocument(document);
    m_highlights.clear();
    m_drag.cancel();
    m_document = std::move(document);
    m_awaitingFirstPage = m_document != nullptr;
    m_scroller.setPages(m_document ? m_document->pageSizes() : QVector<QSizeF>());
    emit readingChanged();
}

int PageView::currentPage() const
{
    return m_document ? layout().currentPage() : -1;
}

void PageView::goToPage(int page)
{
    if (m_document)
        m_scroller.showPage(std::clamp(page, 0, layout().pageCount() - 1), true);
}

void PageView::showPagePoint(int page, const QPointF &point)
{
    if (!m_document)
        return;
    page = std::clamp(page, 0, layout().pageCount() - 1);
    m_scroller.showPage(page, true);
    if (std::isnan(point.x()) && std::isnan(point.y()))
        return;
    const QRectF view = m_scroller.viewRect();
    const QPointF at = layout().pageToContent(
        page, QPointF(std::isnan(point.x()) ? 0 : point.x(), std::isnan(point.y()) ? 0 : point.y()));
    m_scroller.scrollTo(QPointF(std::isnan(point.x()) ? view.left() : at.x(),
                                std::isnan(point.y()) ? view.top() : at.y()));
}

PagePoint PageView::topLeftPoint() const
{
    if (!m_document)
        return {};
    const int page = layout().currentPage();
    return {page, layout().contentToPage(page, contentPoint(QPoint(0, 0)))};
}

void PageView::setZoom(double zoom)
{
    m_scroller.setZoom(zoom);
}

void PageView::setFitMode(FitMode mode)
{
    m_scroller.setFitMode(mode);
}

void PageView::setRotation(int degrees)
{
    m_scroller.relayout([degrees](ViewLayout &layout) { layout.setRotation(degrees); });
}

void PageView::setContinuous(bool continuous)
{
    m_scroller.relayout([continuous](ViewLayout &layout) { layout.setContinuous(continuous); });
}

void PageView::setMouseTool(MouseTool tool)
{
    m_tool = tool;
    m_drag.cancel();
    viewport()->setCursor(tool == MouseTool::Hand ? Qt::OpenHandCursor : Qt::IBeamCursor);
}

double PageView::deviceScale() const
{
    return layout().pixelsPerPoint() * devicePixelRatioF();
}

void PageView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    const QSizeF size(viewport()->size());
    m_scroller.relayout([size](ViewLayout &layout) { layout.setViewportSize(size); });
}

bool PageView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::Resize)
        m_scroller.viewportResized();
    return QAbstractScrollArea::viewportEvent(event);
}

void PageView::scrollContentsBy(int, int)
{
    m_scroller.scrolled();
}

void PageView::keyPressEvent(QKeyEvent *event)
{
    const std::optional<KeyScroll> key =
        keyScroll(event->key(), event->modifiers(), viewport()->height());
    if (!key)
        return QAbstractScrollArea::keyPressEvent(event);
    switch (key->kind) {
    case KeyScroll::Down:
        m_scroller.step(key->pixels);
        break;
    case KeyScroll::Right:
        m_scroller.scrollRight(key->pixels);
        break;
    case KeyScroll::FirstPage:
        goToPage(0);
        break;
    case KeyScroll::LastPage:
        if (m_document)
            m_scroller.showLastPage();
        break;
    }
    event->accept();
}

void PageView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    PageViewAccessible::focusCurrentPage(this);
}

void PageView::wheelEvent(QWheelEvent *event)
{
    const int dy = event->angleDelta().y();
    if (event->modifiers() & Qt::ControlModifier) {
        // Ctrl+wheel zooms a notch at a time.
        for (int notches = m_zoomWheel.add(dy); notches != 0; notches -= notches > 0 ? 1 : -1)
            if (const auto next = notches > 0 ? zoomSteps::zoomIn(zoom()) : zoomSteps::zoomOut(zoom()))
                setZoom(*next);
        event->accept();
        return;
    }
    if (m_document && !layout().continuous() && dy != 0) {
        m_scroller.step(wheelPixels(-dy));
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void PageView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_document)
        return QAbstractScrollArea::mousePressEvent(event);
    if (m_tool == MouseTool::Hand) {
        m_drag.press(event->position().toPoint(), m_scroller.position());
        viewport()->setCursor(Qt::ClosedHandCursor);
    } else {
        emit textPressed(widgetToNearestPage(event->position().toPoint()));
    }
    event->accept();
}

void PageView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (m_tool == MouseTool::Hand && event->buttons() == Qt::NoButton && m_document) {
        viewport()->setCursor(linkAt(at) ? Qt::PointingHandCursor : Qt::OpenHandCursor);
        return;
    }
    if (!(event->buttons() & Qt::LeftButton) || !m_document)
        return QAbstractScrollArea::mouseMoveEvent(event);
    if (m_tool == MouseTool::Text)
        emit textMoved(widgetToNearestPage(at));
    else if (m_drag.active())
        m_scroller.setPosition(m_drag.move(at, QApplication::startDragDistance()));
    else
        return;
    event->accept();
}

void PageView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_document)
        return QAbstractScrollArea::mouseReleaseEvent(event);
    if (m_tool == MouseTool::Hand) {
        const bool clicked = m_drag.release();
        viewport()->setCursor(Qt::OpenHandCursor);
        if (clicked)
            followLink(event->position().toPoint());
    } else {
        emit textReleased(widgetToNearestPage(event->position().toPoint()));
    }
    event->accept();
}

void PageView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_document && m_tool == MouseTool::Text) {
        emit textDoubleClicked(widgetToNearestPage(event->position().toPoint()));
        event->accept();
        return;
    }
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}

void PageView::contextMenuEvent(QContextMenuEvent *event)
{
    emit contextMenuRequested(event->pos());
    event->accept();
}

std::optional<PageLink> PageView::linkAt(const QPoint &viewportPoint) const
{
    const PagePoint at = widgetToPage(viewportPoint);
    if (at.page < 0)
        return std::nullopt;
    return m_document->linkAt(at.page, at.point);
}

// Both kinds of link are reported: the viewer moves to a destination inside
// the document (keeping the jump), the program around it opens an outside address.
void PageView::followLink(const QPoint &viewportPoint)
{
    const std::optional<PageLink> link = linkAt(viewportPoint);
    if (!link)
        return;
    if (link->page >= 0)
        emit destinationActivated(link->page, link->target);
    else if (!link->url.isEmpty())
        emit linkActivated(link->url);
}

void PageView::setHighlights(HighlightLayer layer, const QHash<int, QVector<QRectF>> &rectsByPage)
{
    m_highlights[layer] = rectsByPage;
    viewport()->update();
}

void PageView::scrollToPageRect(int page, const QRectF &area)
{
    if (!m_document || page < 0 || page >= layout().pageCount())
        return;
    if (page != layout().currentPage())
        m_scroller.showPage(page, true);
    const QRectF target = layout().pageToContent(page, area);
    const QRectF view = m_scroller.viewRect();
    if (!view.contains(target))
        m_scroller.scrollTo(target.center() - QPointF(view.width() / 2, view.height() / 2));
}

QPointF PageView::contentPoint(const QPoint &viewportPoint) const
{
    return viewportPoint + m_scroller.viewRect().topLeft();
}

PagePoint PageView::widgetToPage(const QPoint &viewportPoint) const
{
    return layout().pagePointAt(contentPoint(viewportPoint));
}

PagePoint PageView::widgetToNearestPage(const QPoint &viewportPoint) const
{
    return layout().nearestPagePoint(contentPoint(viewportPoint));
}

QPointF PageView::pageToWidget(int page, const QPointF &pagePoint) const
{
    return layout().pageToContent(page, pagePoint) - m_scroller.viewRect().topLeft();
}

TilePlan PageView::plan(bool withWanted) const
{
    const TileCache &cache = m_tiles.cache();
    const TileView view{m_scroller.viewRect(), devicePixelRatioF(), m_tiles.maxTile()};
    const IsCached cached = [&cache](const TileKey &key) { return cache.contains(key); };
    return withWanted ? planTiles(layout(), view, cached, m_tiles.aheadBytes())
                      : planPages(layout(), view, cached);
}

// Repaints, and asks for renders once the events of this round have moved the view.
void PageView::viewChanged()
{
    viewport()->update();
    if (m_rendersScheduled)
        return;
    m_rendersScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_rendersScheduled = false;
        m_tiles.request(plan(true).wanted);
    });
}

bool PageView::isViewComplete() const
{
    return plan(false).complete();
}

void PageView::paintEvent(QPaintEvent *event)
{
    m_tiles.takeFinished();
    QPainter painter(viewport());
    painter.fillRect(event->rect(), kBackground);
    const TilePlan drawn = plan(false);
    paintPages(painter, drawn, m_tiles.cache(), layout(), m_highlights);
    if (m_awaitingFirstPage && !drawn.pages.isEmpty() && drawn.complete()) {
        m_awaitingFirstPage = false;
        // Told once this frame has reached the screen, so what starts then cannot delay it.
        QTimer::singleShot(kFrameOnScreen, this, &PageView::firstPageShown);
    }
}
