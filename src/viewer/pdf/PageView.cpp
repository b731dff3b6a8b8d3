#include "PageView.h"

#include "viewer/ZoomSteps.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kLineStep = 40;     // pixels per arrow key press
constexpr int kPageOverlap = 40;  // pixels a page step keeps in view
constexpr qint64 kMinCacheBytes = 64ll << 20;
const QColor kBackground(0x80, 0x80, 0x80);
const QColor kSelection(0x33, 0x66, 0xcc, 90);
const QColor kSearchHit(0xff, 0xcc, 0x00, 110);

QSize screenPixels()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QSize(1920, 1080);
    return (QSizeF(screen->size()) * screen->devicePixelRatio()).toSize();
}

// Enough for several screens of tiles, so the visible tiles and those
// rendered ahead never push each other out.
qint64 cacheBudget()
{
    const QSize screen = screenPixels();
    return std::max(kMinCacheBytes, 5ll * screen.width() * screen.height() * 4);
}

int renderWorkers()
{
    return std::clamp(QThread::idealThreadCount(), 1, 4);
}

} // namespace

PageView::PageView(QWidget *parent) : QAbstractScrollArea(parent), m_cache(cacheBudget())
{
    m_pool = std::make_unique<RenderPool>(renderWorkers(), [this](RenderedTile tile) {
        QMetaObject::invokeMethod(
            this, [this, tile = std::move(tile)] { tileRendered(tile); }, Qt::QueuedConnection);
    });
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::OpenHandCursor);
    viewport()->setMouseTracking(true); // the pointing hand over links
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    m_layout.setViewportSize(viewport()->size());
}

PageView::~PageView()
{
    m_pool.reset(); // joins the workers before the cache and document go
}

void PageView::setDocument(std::shared_ptr<PdfDocument> document)
{
    m_pool->cancelAll();
    m_pool->waitIdle();
    ++m_generation;
    m_cache.clear();
    m_highlights.clear();
    m_dragging = false;
    m_document = std::move(document);
    m_layout.setPageSizes(m_document ? m_document->pageSizes() : QVector<QSizeF>());
    m_layout.setCurrentPage(0);
    applyFit();
    updateScrollBars();
    m_followScroll = false;
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    m_followScroll = true;
    viewport()->update();
    scheduleRenders();
}

int PageView::currentPage() const
{
    return m_document ? m_layout.currentPage() : -1;
}

void PageView::goToPage(int page)
{
    if (!m_document)
        return;
    showPage(std::clamp(page, 0, m_layout.pageCount() - 1), true);
}

// Makes the page current and announces it; in a single-page layout it also
// becomes the page shown.
void PageView::showPage(int page, bool scrollToTop)
{
    const bool single = !m_layout.continuous();
    const bool changed = page != m_layout.currentPage();
    m_layout.setCurrentPage(page);
    if (single && changed) {
        if (m_fit != FitMode::None)
            applyFit();
        updateScrollBars();
        viewport()->update();
    }
    if (scrollToTop) {
        const QRectF rect = m_layout.pageRect(page);
        scrollTo(QPointF(horizontalScrollBar()->value(), rect.top() - ViewLayout::kMargin));
    }
    scheduleRenders();
    emit currentPageChanged(page);
}

void PageView::setZoom(double zoom)
{
    m_fit = FitMode::None;
    relayout([&] { m_layout.setZoom(zoom); });
}

void PageView::setFitMode(FitMode mode)
{
    m_fit = mode;
    relayout([&] {});
}

void PageView::setRotation(int degrees)
{
    relayout([&] { m_layout.setRotation(degrees); });
}

void PageView::setContinuous(bool continuous)
{
    relayout([&] { m_layout.setContinuous(continuous); });
}

void PageView::setMouseTool(MouseTool tool)
{
    m_tool = tool;
    m_dragging = false;
    viewport()->setCursor(tool == MouseTool::Hand ? Qt::OpenHandCursor : Qt::IBeamCursor);
}

// Applies a layout change and keeps the same spot of the current page at the
// top-left corner of the viewport.
template <typename Change> void PageView::relayout(Change change)
{
    m_relayingOut = true;
    const Anchor before = anchor();
    const double zoom = m_layout.zoom();
    const int rotation = m_layout.rotation();
    const bool continuous = m_layout.continuous();
    change();
    applyFit();
    if (zoom != m_layout.zoom() || rotation != m_layout.rotation()
        || continuous != m_layout.continuous())
        ++m_generation;
    updateScrollBars();
    if (QSizeF(viewport()->size()) != m_layout.viewportSize()) {
        // The scroll bars changed the viewport; the fit does not depend on them.
        m_layout.setViewportSize(viewport()->size());
        updateScrollBars();
    }
    restore(before);
    m_relayingOut = false;
    viewport()->update();
    scheduleRenders();
}

PageView::Anchor PageView::anchor() const
{
    const int page = m_layout.currentPage();
    const QRectF rect = m_layout.pageRect(page);
    if (!m_document || rect.isEmpty())
        return {page, QPointF()};
    const QPointF corner = viewRect().topLeft();
    return {page, QPointF((corner.x() - rect.left()) / rect.width(),
                          (corner.y() - rect.top()) / rect.height())};
}

void PageView::restore(const Anchor &anchor)
{
    const QRectF rect = m_layout.pageRect(anchor.page);
    if (rect.isEmpty())
        return;
    scrollTo(QPointF(rect.left() + anchor.fraction.x() * rect.width(),
                     rect.top() + anchor.fraction.y() * rect.height()));
}

QRectF PageView::viewRect() const
{
    return QRectF(QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value()),
                  QSizeF(viewport()->size()));
}

// The room a fitted page may fill: the whole area inside the frame, less a
// vertical scroll bar, whether or not one shows, so fitting never makes a
// scroll bar appear and then refits.
QSizeF PageView::fitArea() const
{
    const QSize area = maximumViewportSize();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return QSizeF(std::max(1, area.width() - bar), std::max(1, area.height()));
}

double PageView::deviceScale() const
{
    return m_layout.pixelsPerPoint() * devicePixelRatioF();
}

QSize PageView::maxTileSize() const
{
    return screenPixels();
}

void PageView::applyFit()
{
    if (m_fit == FitMode::None || !m_document)
        return;
    m_layout.setZoom(m_layout.fitZoom(m_fit, m_layout.currentPage(), fitArea()));
}

void PageView::updateScrollBars()
{
    const QSize view = viewport()->size();
    const QSizeF content = m_layout.contentSize();
    m_followScroll = false;
    // Thousands of huge pages at the largest zoom would overflow an int: the
    // scroll range stops at a billion pixels instead.
    const auto range = [](double content, int view) {
        return std::max(0, int(std::min(std::ceil(content), 1e9)) - view);
    };
    horizontalScrollBar()->setRange(0, range(content.width(), view.width()));
    verticalScrollBar()->setRange(0, range(content.height(), view.height()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setPageStep(view.height());
    horizontalScrollBar()->setSingleStep(kLineStep);
    verticalScrollBar()->setSingleStep(kLineStep);
    m_followScroll = true;
}

void PageView::scrollTo(const QPointF &contentPoint)
{
    m_followScroll = false;
    horizontalScrollBar()->setValue(int(std::lround(contentPoint.x())));
    verticalScrollBar()->setValue(int(std::lround(contentPoint.y())));
    m_followScroll = true;
}

void PageView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout([&] { m_layout.setViewportSize(viewport()->size()); });
}

bool PageView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::Resize && !m_relayingOut
        && QSizeF(viewport()->size()) != m_layout.viewportSize())
        relayout([&] { m_layout.setViewportSize(viewport()->size()); });
    return QAbstractScrollArea::viewportEvent(event);
}

void PageView::scrollContentsBy(int, int)
{
    viewport()->update();
    if (m_followScroll)
        followScroll();
    scheduleRenders();
}

// After the user scrolled: the page filling most of the view becomes current.
void PageView::followScroll()
{
    if (!m_document || !m_layout.continuous())
        return;
    const int page = m_layout.mostVisiblePage(viewRect());
    if (page >= 0 && page != m_layout.currentPage()) {
        m_layout.setCurrentPage(page);
        emit currentPageChanged(page);
    }
}

// Scrolls down (positive) or up; a single-page layout turns the page at its ends.
void PageView::step(int pixels)
{
    QScrollBar *bar = verticalScrollBar();
    const int page = m_layout.currentPage();
    if (m_document && !m_layout.continuous()) {
        if (pixels > 0 && bar->value() >= bar->maximum() && page + 1 < m_layout.pageCount()) {
            showPage(page + 1, true);
            return;
        }
        if (pixels < 0 && bar->value() <= bar->minimum() && page > 0) {
            showPage(page - 1, false);
            scrollTo(QPointF(horizontalScrollBar()->value(), bar->maximum()));
            return;
        }
    }
    bar->setValue(bar->value() + pixels);
}

void PageView::keyPressEvent(QKeyEvent *event)
{
    const int pageStep = std::max(kLineStep, viewport()->height() - kPageOverlap);
    switch (event->key()) {
    case Qt::Key_PageDown:
        step(pageStep);
        break;
    case Qt::Key_PageUp:
        step(-pageStep);
        break;
    case Qt::Key_Space:
        step(event->modifiers() & Qt::ShiftModifier ? -pageStep : pageStep);
        break;
    case Qt::Key_Down:
        step(kLineStep);
        break;
    case Qt::Key_Up:
        step(-kLineStep);
        break;
    case Qt::Key_Right:
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + kLineStep);
        break;
    case Qt::Key_Left:
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - kLineStep);
        break;
    case Qt::Key_Home:
        goToPage(0);
        break;
    case Qt::Key_End:
        if (m_document) {
            showPage(m_layout.pageCount() - 1, false);
            scrollTo(QPointF(horizontalScrollBar()->value(), verticalScrollBar()->maximum()));
        }
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void PageView::wheelEvent(QWheelEvent *event)
{
    const int dy = event->angleDelta().y();
    if (event->modifiers() & Qt::ControlModifier) {
        // Ctrl+wheel zooms a notch at a time, within the toolbar's limits.
        m_zoomWheel += dy;
        for (; m_zoomWheel >= 120; m_zoomWheel -= 120)
            if (const auto in = zoomSteps::zoomIn(zoom()))
                setZoom(*in);
        for (; m_zoomWheel <= -120; m_zoomWheel += 120)
            if (const auto out = zoomSteps::zoomOut(zoom()))
                setZoom(*out);
        event->accept();
        return;
    }
    if (m_document && !m_layout.continuous() && dy != 0) {
        // 120 units are one notch: three lines.
        step(-dy * kLineStep * 3 / 120);
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
        m_dragging = true;
        m_dragMoved = false;
        m_dragFrom = event->position().toPoint();
        m_dragScroll = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
        viewport()->setCursor(Qt::ClosedHandCursor);
    } else {
        emit textPressed(widgetToNearestPage(event->position().toPoint()));
    }
    event->accept();
}

void PageView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_tool == MouseTool::Hand && event->buttons() == Qt::NoButton && m_document) {
        viewport()->setCursor(linkAt(event->position().toPoint()) ? Qt::PointingHandCursor
                                                                  : Qt::OpenHandCursor);
        return;
    }
    if (!(event->buttons() & Qt::LeftButton) || !m_document)
        return QAbstractScrollArea::mouseMoveEvent(event);
    if (m_tool == MouseTool::Hand) {
        if (!m_dragging)
            return;
        const QPoint moved = event->position().toPoint() - m_dragFrom;
        if (moved.manhattanLength() >= QApplication::startDragDistance())
            m_dragMoved = true;
        horizontalScrollBar()->setValue(m_dragScroll.x() - moved.x());
        verticalScrollBar()->setValue(m_dragScroll.y() - moved.y());
    } else {
        emit textMoved(widgetToNearestPage(event->position().toPoint()));
    }
    event->accept();
}

void PageView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_document)
        return QAbstractScrollArea::mouseReleaseEvent(event);
    if (m_tool == MouseTool::Hand) {
        const bool clicked = m_dragging && !m_dragMoved;
        m_dragging = false;
        viewport()->setCursor(Qt::OpenHandCursor);
        if (clicked)
            followLink(event->position().toPoint());
    } else {
        emit textReleased(widgetToNearestPage(event->position().toPoint()));
    }
    event->accept();
}

std::optional<PageLink> PageView::linkAt(const QPoint &viewportPoint) const
{
    const PagePoint at = widgetToPage(viewportPoint);
    if (at.page < 0)
        return std::nullopt;
    return m_document->linkAt(at.page, at.point);
}

// A page of the document is shown; an outside address is handed on, for the
// user's programs to open.
void PageView::followLink(const QPoint &viewportPoint)
{
    const std::optional<PageLink> link = linkAt(viewportPoint);
    if (!link)
        return;
    if (link->page >= 0)
        goToPage(link->page);
    else if (!link->url.isEmpty())
        emit linkActivated(link->url);
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

void PageView::setHighlights(HighlightLayer layer, const QHash<int, QVector<QRectF>> &rectsByPage)
{
    m_highlights[layer] = rectsByPage;
    viewport()->update();
}

void PageView::scrollToPageRect(int page, const QRectF &area)
{
    if (!m_document || page < 0 || page >= m_layout.pageCount())
        return;
    if (page != m_layout.currentPage())
        showPage(page, true);
    const QRectF target = m_layout.pageToContent(page, area);
    const QRectF view = viewRect();
    if (!view.contains(target))
        scrollTo(target.center() - QPointF(view.width() / 2, view.height() / 2));
}

PagePoint PageView::widgetToPage(const QPoint &viewportPoint) const
{
    const QPointF content = viewportPoint + viewRect().topLeft();
    const int page = m_document ? m_layout.pageAt(content) : -1;
    if (page < 0)
        return {};
    return {page, m_layout.contentToPage(page, content)};
}

PagePoint PageView::widgetToNearestPage(const QPoint &viewportPoint) const
{
    const QPointF content = viewportPoint + viewRect().topLeft();
    const int page = m_document ? m_layout.nearestPage(content) : -1;
    if (page < 0)
        return {};
    const QSizeF size = m_document->pageSizes().at(page);
    const QPointF point = m_layout.contentToPage(page, content);
    return {page, QPointF(std::clamp(point.x(), 0.0, size.width()),
                          std::clamp(point.y(), 0.0, size.height()))};
}

QPointF PageView::pageToWidget(int page, const QPointF &pagePoint) const
{
    return m_layout.pageToContent(page, pagePoint) - viewRect().topLeft();
}

void PageView::scheduleRenders()
{
    if (m_rendersScheduled)
        return;
    m_rendersScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_rendersScheduled = false;
        requestRenders();
    });
}

// Asks for the visible tiles first, then for those one screen above and below
// (in a single-page layout: the neighbouring pages), within half the cache.
void PageView::requestRenders()
{
    if (!m_document) {
        m_pool->cancelAll();
        return;
    }
    std::vector<TileRequest> wanted;
    qint64 bytes = 0;
    const qint64 budget = m_cache.maxBytes() / 2;
    const QRectF view = viewRect();
    const double dpr = devicePixelRatioF();
    for (int page : m_layout.pagesIn(view))
        addTiles(wanted, page, imageArea(page, view), bytes, std::numeric_limits<qint64>::max());

    const int current = m_layout.currentPage();
    if (m_layout.continuous()) {
        const QRectF below = view.translated(0, view.height());
        const QRectF above = view.translated(0, -view.height());
        for (int page : m_layout.pagesIn(below))
            addTiles(wanted, page, imageArea(page, below), bytes, budget);
        for (int page : m_layout.pagesIn(above))
            addTiles(wanted, page, imageArea(page, above), bytes, budget);
    } else {
        const QSize screenful = (QSizeF(viewport()->size()) * dpr).toSize();
        if (current + 1 < m_layout.pageCount())
            addTiles(wanted, current + 1, QRect(QPoint(0, 0), screenful), bytes, budget);
        if (current > 0) {
            const QSize image = pageImageSize(m_document->pageSizes().at(current - 1),
                                              deviceScale(), m_layout.rotation());
            addTiles(wanted, current - 1,
                     QRect(QPoint(0, image.height() - screenful.height()), screenful), bytes,
                     budget);
        }
    }
    m_pool->schedule(m_document, m_generation, wanted);
}

void PageView::addTiles(std::vector<TileRequest> &wanted, int page, const QRect &imageArea,
                        qint64 &bytes, qint64 budget) const
{
    const double scale = deviceScale();
    const int rotation = m_layout.rotation();
    const TileGrid grid = gridFor(page);
    for (int index : grid.tilesIn(imageArea)) {
        const TileKey key{page, rotation, TileKey::scaleKey(scale), index};
        const QRect tile = grid.tile(index);
        const bool listed = std::any_of(wanted.begin(), wanted.end(),
                                        [&](const TileRequest &r) { return r.key == key; });
        if (listed || m_cache.contains(key))
            continue;
        const qint64 cost = qint64(tile.width()) * tile.height() * 4;
        if (bytes + cost > budget)
            return;
        bytes += cost;
        wanted.push_back({key, scale, tile});
    }
}

void PageView::tileRendered(const RenderedTile &tile)
{
    if (tile.generation != m_generation || !m_document)
        return;
    const QSize image = pageImageSize(m_document->pageSizes().at(tile.request.key.page),
                                      tile.request.scale, tile.request.key.rotation);
    const QRectF fraction(double(tile.request.tile.x()) / image.width(),
                          double(tile.request.tile.y()) / image.height(),
                          double(tile.request.tile.width()) / image.width(),
                          double(tile.request.tile.height()) / image.height());
    m_cache.insert({tile.request.key, tile.image, fraction});
    viewport()->update();
}

bool PageView::isViewComplete() const
{
    if (!m_document)
        return true;
    const QRectF view = viewRect();
    const qint64 scaleKey = TileKey::scaleKey(deviceScale());
    const int rotation = m_layout.rotation();
    for (int page : m_layout.pagesIn(view))
        for (int index : gridFor(page).tilesIn(imageArea(page, view)))
            if (!m_cache.contains({page, rotation, scaleKey, index}))
                return false;
    return true;
}

QRect PageView::imageArea(int page, const QRectF &area) const
{
    const QRectF rect = m_layout.pageRect(page);
    const QRectF part = area.intersected(rect).translated(-rect.topLeft());
    const double dpr = devicePixelRatioF();
    return QRectF(part.topLeft() * dpr, part.size() * dpr).toAlignedRect();
}

TileGrid PageView::gridFor(int page) const
{
    return TileGrid(pageImageSize(m_document->pageSizes().at(page), deviceScale(),
                                  m_layout.rotation()),
                    maxTileSize());
}

void PageView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), kBackground);
    if (!m_document)
        return;
    const QRectF view = viewRect();
    for (int page : m_layout.pagesIn(view))
        paintPage(painter, page, view);
}

void PageView::paintPage(QPainter &painter, int page, const QRectF &view)
{
    const double dpr = devicePixelRatioF();
    const double scale = deviceScale();
    const int rotation = m_layout.rotation();
    // Page corner on a device pixel, so tiles are drawn pixel for pixel.
    const QRectF content = m_layout.pageRect(page);
    const QPointF origin =
        QPointF(std::round((content.left() - view.left()) * dpr),
                std::round((content.top() - view.top()) * dpr)) / dpr;
    const QRectF rect(origin, content.size());
    painter.fillRect(rect.translated(2, 2), QColor(0, 0, 0, 60));
    painter.fillRect(rect, Qt::white);

    const TileGrid grid = gridFor(page);
    const QVector<int> tiles = grid.tilesIn(imageArea(page, view));
    const qint64 scaleKey = TileKey::scaleKey(scale);

    const bool complete = std::all_of(tiles.begin(), tiles.end(), [&](int index) {
        return m_cache.contains({page, rotation, scaleKey, index});
    });
    if (!complete) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        for (const CachedTile *old : m_cache.tilesOfPage(page, rotation)) {
            if (old->key.scale == scaleKey)
                continue; // drawn pixel for pixel below
            const QRectF &f = old->pageFraction;
            painter.drawImage(QRectF(rect.left() + f.left() * rect.width(),
                                     rect.top() + f.top() * rect.height(),
                                     f.width() * rect.width(), f.height() * rect.height()),
                              old->image);
        }
        painter.restore();
    }
    for (int index : tiles) {
        if (const CachedTile *cached = m_cache.find({page, rotation, scaleKey, index})) {
            const QRect tile = grid.tile(index);
            painter.drawImage(QRectF(origin + QPointF(tile.topLeft()) / dpr,
                                     QSizeF(tile.size()) / dpr),
                              cached->image);
        }
    }
    paintHighlights(painter, page, origin - content.topLeft());
}

void PageView::paintHighlights(QPainter &painter, int page, const QPointF &offset)
{
    for (auto layer = m_highlights.cbegin(); layer != m_highlights.cend(); ++layer) {
        const QColor colour = layer.key() == HighlightLayer::Selection ? kSelection : kSearchHit;
        for (const QRectF &area : layer.value().value(page))
            painter.fillRect(m_layout.pageToContent(page, area).translated(offset), colour);
    }
}
