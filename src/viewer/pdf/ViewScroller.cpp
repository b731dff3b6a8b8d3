#include "ViewScroller.h"

#include "ViewInput.h"

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <cmath>

ViewScroller::ViewScroller(QAbstractScrollArea &area) : m_area(area)
{
    setFit(m_fit);
    m_layout.setViewportSize(m_area.viewport()->size());
}

QRectF ViewScroller::viewRect() const
{
    return QRectF(position(), QSizeF(m_area.viewport()->size()));
}

QPoint ViewScroller::position() const
{
    return QPoint(m_area.horizontalScrollBar()->value(), m_area.verticalScrollBar()->value());
}

void ViewScroller::setPages(const QVector<QSizeF> &pageSizes)
{
    m_layout.setPageSizes(pageSizes);
    m_layout.setCurrentPage(0);
    applyFit();
    updateScrollBars();
    scrollTo(QPointF(0, 0));
    emit viewChanged();
}

void ViewScroller::relayout(const std::function<void(ViewLayout &)> &change)
{
    m_relayingOut = true;
    const ViewLayout::Anchor before = m_layout.anchorAt(viewRect().topLeft());
    const double zoom = m_layout.zoom();
    const int rotation = m_layout.rotation();
    const bool continuous = m_layout.continuous();
    change(m_layout);
    applyFit();
    if (zoom != m_layout.zoom() || rotation != m_layout.rotation()
        || continuous != m_layout.continuous())
        emit scaleChanged();
    updateScrollBars();
    const QSizeF viewport(m_area.viewport()->size());
    if (viewport != m_layout.viewportSize()) {
        // The scroll bars changed the viewport; the fit does not depend on them.
        m_layout.setViewportSize(viewport);
        updateScrollBars();
    }
    if (const std::optional<QPointF> corner = m_layout.anchorPoint(before))
        scrollTo(*corner);
    m_relayingOut = false;
    emit viewChanged();
}

void ViewScroller::setFitMode(FitMode mode)
{
    setFit(mode);
    relayout([](ViewLayout &) {});
}

void ViewScroller::setZoom(double zoom)
{
    setFit(FitMode::None);
    relayout([zoom](ViewLayout &layout) { layout.setZoom(zoom); });
}

// Pages fitted across leave room for the vertical bar and never reach past
// the view sideways, so no horizontal bar shows for them, not even for a
// pixel of rounding.
void ViewScroller::setFit(FitMode mode)
{
    m_fit = mode;
    const bool fittedAcross = mode == FitMode::Width || mode == FitMode::Window;
    m_area.setHorizontalScrollBarPolicy(fittedAcross ? Qt::ScrollBarAlwaysOff
                                                     : Qt::ScrollBarAsNeeded);
}

void ViewScroller::viewportResized()
{
    const QSizeF viewport(m_area.viewport()->size());
    if (!m_relayingOut && viewport != m_layout.viewportSize())
        relayout([&](ViewLayout &layout) { layout.setViewportSize(viewport); });
}

// The room a fitted page may fill: the whole area inside the frame, less a
// vertical scroll bar, whether or not one shows, so fitting never makes a
// scroll bar appear and then refits.
QSizeF ViewScroller::fitArea() const
{
    const QSize area = m_area.maximumViewportSize();
    const int bar = m_area.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &m_area);
    return QSizeF(std::max(1, area.width() - bar), std::max(1, area.height()));
}

void ViewScroller::applyFit()
{
    if (m_fit == FitMode::None || m_layout.pageCount() == 0)
        return;
    m_layout.setZoom(m_layout.fitZoom(m_fit, m_layout.currentPage(), fitArea()));
}

void ViewScroller::updateScrollBars()
{
    const QSize view = m_area.viewport()->size();
    const QSizeF content = m_layout.contentSize();
    QScrollBar *across = m_area.horizontalScrollBar();
    QScrollBar *down = m_area.verticalScrollBar();
    m_followScroll = false;
    // Thousands of huge pages at the largest zoom would overflow an int: the
    // scroll range stops at a billion pixels instead. Content a rounding error
    // past a whole pixel (a page fitted across) scrolls by nothing.
    const auto range = [](double content, int view) {
        return std::max(0, int(std::min(std::ceil(content - 1e-6), 1e9)) - view);
    };
    across->setRange(0, range(content.width(), view.width()));
    down->setRange(0, range(content.height(), view.height()));
    across->setPageStep(view.width());
    down->setPageStep(view.height());
    across->setSingleStep(kLineStep);
    down->setSingleStep(kLineStep);
    m_followScroll = true;
}

void ViewScroller::showPage(int page, bool scrollToTop)
{
    const bool single = !m_layout.continuous();
    const bool changed = page != m_layout.currentPage();
    m_layout.setCurrentPage(page);
    if (single && changed) {
        applyFit();
        updateScrollBars();
    }
    if (scrollToTop)
        scrollTo(QPointF(position().x(), m_layout.pageRect(page).top() - ViewLayout::kMargin));
    emit viewChanged();
    emit currentPageChanged(page);
}

void ViewScroller::showLastPage()
{
    showPage(m_layout.pageCount() - 1, false);
    scrollTo(QPointF(position().x(), m_area.verticalScrollBar()->maximum()));
}

void ViewScroller::step(int pixels)
{
    QScrollBar *bar = m_area.verticalScrollBar();
    const int page = m_layout.currentPage();
    if (!m_layout.continuous()) {
        if (pixels > 0 && bar->value() >= bar->maximum() && page + 1 < m_layout.pageCount()) {
            showPage(page + 1, true);
            return;
        }
        if (pixels < 0 && bar->value() <= bar->minimum() && page > 0) {
            showPage(page - 1, false);
            scrollTo(QPointF(position().x(), bar->maximum()));
            return;
        }
    }
    bar->setValue(bar->value() + pixels);
}

void ViewScroller::scrollTo(const QPointF &contentPoint)
{
    m_followScroll = false;
    m_area.horizontalScrollBar()->setValue(int(std::lround(contentPoint.x())));
    m_area.verticalScrollBar()->setValue(int(std::lround(contentPoint.y())));
    m_followScroll = true;
}

void ViewScroller::scrollRight(int pixels)
{
    QScrollBar *bar = m_area.horizontalScrollBar();
    bar->setValue(bar->value() + pixels);
}

void ViewScroller::setPosition(const QPoint &position)
{
    m_area.horizontalScrollBar()->setValue(position.x());
    m_area.verticalScrollBar()->setValue(position.y());
}

void ViewScroller::scrolled()
{
    emit viewChanged();
    if (!m_followScroll || !m_layout.continuous())
        return;
    const int page = m_layout.mostVisiblePage(viewRect());
    if (page >= 0 && page != m_layout.currentPage()) {
        m_layout.setCurrentPage(page);
        emit currentPageChanged(page);
    }
}
