#pragma once
// The page view's state and scrolling: the layout and fit mode, the scroll
// bars as a window onto the layout's content, the current page, and the spot
// kept in place when the layout changes. It tells the user's scrolling from
// its own, so only the user's makes another page current.

#include "ViewLayout.h"

#include <QObject>
#include <QPoint>

#include <functional>

class QAbstractScrollArea;

class ViewScroller : public QObject {
    Q_OBJECT
public:
    explicit ViewScroller(QAbstractScrollArea &area);

    const ViewLayout &layout() const { return m_layout; }
    // The visible part of the content, content pixels.
    QRectF viewRect() const;
    QPoint position() const;

    // A new document's pages (none to close): its first page at the top left.
    void setPages(const QVector<QSizeF> &pageSizes);
    // Applies a layout change, refits, and keeps the same spot of the current
    // page at the top-left corner of the viewport.
    void relayout(const std::function<void(ViewLayout &)> &change);
    void setFitMode(FitMode mode); // None keeps the zoom as it is
    void setZoom(double zoom);     // ends any fit mode
    // The viewport may have changed size; relayout if so.
    void viewportResized();

    // Makes the page current and announces it; in a single-page layout it also
    // becomes the page shown. The page must exist.
    void showPage(int page, bool scrollToTop);
    void showLastPage(); // its bottom
    // Scrolls down (positive) or up; a single-page layout turns the page at its ends.
    void step(int pixels);
    void scrollTo(const QPointF &contentPoint); // not the user's scrolling
    void scrollRight(int pixels);              // the user's, negative to the left
    void setPosition(const QPoint &position);  // the user's
    // After any scroll: the user's makes the page filling most of the view current.
    void scrolled();

signals:
    void currentPageChanged(int page);
    // What the viewport shows moved or changed.
    void viewChanged();
    // Zoom, rotation or layout changed: renderings in flight no longer fit.
    void scaleChanged();

private:
    void setFit(FitMode mode);
    QSizeF fitArea() const;
    void applyFit();
    void updateScrollBars();

    QAbstractScrollArea &m_area;
    ViewLayout m_layout;
    FitMode m_fit = FitMode::Width;
    bool m_followScroll = true; // off while the view scrolls itself
    bool m_relayingOut = false; // a viewport resize inside relayout only updates the size
};
