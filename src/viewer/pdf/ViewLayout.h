#pragma once
// Where every page sits in the scrolled view, with no widget in it.
//
// Units: page sizes and page points are PDF points (1/72 inch) in the page's
// own unrotated space, origin at the top-left corner, y downwards. Everything
// else is in logical pixels of the view's content (the whole scrollable area,
// origin at its top-left corner). 100 % zoom shows 96 logical pixels per inch.
// Pages are numbered from 0 here.

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QVector>

#include <optional>

enum class FitMode { Window = 0, ActualSize = 1, Width = 2, None = -1 };

// A point on a page: page from 0 (-1 for none), point in page points.
struct PagePoint {
    int page = -1;
    QPointF point;
};

class ViewLayout {
public:
    static constexpr double kPixelsPerPoint = 96.0 / 72.0;
    static constexpr double kMargin = 8; // around and between pages, logical pixels

    // A spot on a page as a share of its rectangle (0…1 across and down), so a
    // relayout can put the same spot back where it was.
    struct Anchor {
        int page = 0;
        QPointF fraction;
    };

    void setPageSizes(const QVector<QSizeF> &sizes);
    void setRotation(int degrees); // clockwise: 0, 90, 180 or 270
    void setContinuous(bool continuous);
    void setZoom(double zoom);
    void setViewportSize(const QSizeF &size);
    QSizeF viewportSize() const { return m_viewport; }
    void setCurrentPage(int page); // the page a single-page layout shows

    int pageCount() const { return int(m_sizes.size()); }
    QSizeF pageSize(int page) const { return m_sizes.value(page); } // points, unrotated
    int rotation() const { return m_rotation; }
    bool continuous() const { return m_continuous; }
    double zoom() const { return m_zoom; }
    int currentPage() const { return m_current; }

    double pixelsPerPoint() const { return m_zoom * kPixelsPerPoint; }
    // The zoom that fits the page (with margins) into the area in the given
    // mode. Continuous pages fit across by the widest page, so no page needs a
    // sideways scroll.
    double fitZoom(FitMode mode, int page, const QSizeF &area) const;

    QSizeF contentSize() const;
    // The page's rectangle in content pixels; empty for a page a single-page
    // layout does not show.
    QRectF pageRect(int page) const;
    // Pages whose rectangles meet the area, in order.
    QVector<int> pagesIn(const QRectF &area) const;
    // The page showing the largest part of the area; -1 when none shows.
    int mostVisiblePage(const QRectF &area) const;
    // The page under the point; -1 in a margin or outside every page.
    int pageAt(const QPointF &point) const;
    // The shown page closest to the point; -1 without pages.
    int nearestPage(const QPointF &point) const;

    QPointF pageToContent(int page, const QPointF &pagePoint) const;
    QPointF contentToPage(int page, const QPointF &contentPoint) const;
    QRectF pageToContent(int page, const QRectF &pageArea) const;
    // The page point under the content point; page -1 outside every page.
    PagePoint pagePointAt(const QPointF &contentPoint) const;
    // The point on the nearest shown page, clamped onto it; page -1 without pages.
    PagePoint nearestPagePoint(const QPointF &contentPoint) const;

    // The spot of the current page under the content point.
    Anchor anchorAt(const QPointF &contentPoint) const;
    // Where the spot is now, in content pixels; none when its page is not shown.
    std::optional<QPointF> anchorPoint(const Anchor &anchor) const;

private:
    QSizeF displayedSize(int page) const; // rotated and zoomed, pixels
    QSizeF rotatedPoints(int page) const;
    void relayout();

    QVector<QSizeF> m_sizes;
    QVector<double> m_tops; // continuous layout: top of each page
    double m_widestPoints = 0; // widest page in points, rotated
    int m_rotation = 0;
    bool m_continuous = true;
    double m_zoom = 1.0;
    QSizeF m_viewport;
    int m_current = 0;
};
