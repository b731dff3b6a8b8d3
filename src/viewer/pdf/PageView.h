#pragma once
// The scrolled view of the pages, as event glue: its state and scrolling live
// in ViewScroller (over ViewLayout), the tiles it shows are picked by
// TilePlanner from TileSource and drawn by PagePainter, and ViewInput reads
// keys, wheel and drags. Pages are numbered from 0 here.
//
// The GUI thread never waits for a render: a page whose tiles are not ready
// shows an earlier rendering of it scaled, or white.

#include "PagePainter.h"
#include "PdfDocument.h"
#include "TilePlanner.h"
#include "TileSource.h"
#include "ViewInput.h"
#include "ViewScroller.h"

#include <QAbstractScrollArea>
#include <QUrl>

#include <memory>
#include <optional>

Q_DECLARE_METATYPE(PagePoint)

class PageReading;

class PageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class MouseTool { Hand = 0, Text = 1 };
    using HighlightLayer = ::HighlightLayer;

    explicit PageView(QWidget *parent = nullptr);

    // Shows the document from its first page; nullptr closes. The previous
    // document's renders are aborted and left to end on their own threads: the
    // view waits for none of them (see TileSource::setDocument).
    void setDocument(std::shared_ptr<PdfDocument> document);
    const std::shared_ptr<PdfDocument> &document() const { return m_document; }

    int currentPage() const; // -1 without a document
    // Shows the page (clamped); emits currentPageChanged even if it was shown.
    void goToPage(int page);
    // Shows the page (clamped) with the point (page points) at the view's top
    // left: a NaN y is the page's top, a NaN x keeps the view's left edge.
    void showPagePoint(int page, const QPointF &point);
    // The current page and the view's top-left corner in its points (page -1
    // without a document), for showPagePoint to come back to. The corner may
    // lie off the page, in the margin above it: it is still the current page
    // that comes back, not the one the margin is nearer to.
    PagePoint topLeftPoint() const;

    double zoom() const { return layout().zoom(); }
    void setZoom(double zoom); // ends any fit mode
    void setFitMode(FitMode mode);
    void setRotation(int degrees); // 0, 90, 180, 270
    void setContinuous(bool continuous);
    void setMouseTool(MouseTool tool);
    MouseTool mouseTool() const { return m_tool; }

    const ViewLayout &layout() const { return m_scroller.layout(); }
    // True when every tile the viewport shows is rendered at the current scale.
    bool isViewComplete() const;
    // Device pixels per page point that tiles are rendered at: the zoom at the
    // screen's device pixel ratio, so text stays sharp on high-DPI screens.
    double deviceScale() const;

    // ---- Hooks for the text layer (selection and search) ----------------------
    // Replaces one layer's rectangles, given per page in page points.
    void setHighlights(HighlightLayer layer, const QHash<int, QVector<QRectF>> &rectsByPage);
    // Shows the page and scrolls the area (page points) into view, centred
    // when it was not fully visible; the page becomes the current page.
    void scrollToPageRect(int page, const QRectF &area);
    // Viewport point -> page point; page -1 outside every page.
    PagePoint widgetToPage(const QPoint &viewportPoint) const;
    // Like widgetToPage, but snaps to the nearest shown page and clamps the
    // point onto it, so a drag past a page edge keeps selecting.
    PagePoint widgetToNearestPage(const QPoint &viewportPoint) const;
    // Page point -> viewport point.
    QPointF pageToWidget(int page, const QPointF &pagePoint) const;
    // The visible part of the content, content pixels.
    QRectF viewRect() const { return m_scroller.viewRect(); }

    // ---- What assistive technologies read (see PageViewAccessible) ----------
    void setReading(const PageReading *reading) { m_reading = reading; }
    const PageReading *reading() const { return m_reading; }

signals:
    void currentPageChanged(int page);
    void contextMenuRequested(const QPoint &viewportPoint);
    // With the text tool only; points snapped as in widgetToNearestPage.
    void textPressed(const PagePoint &at);
    void textMoved(const PagePoint &at);
    void textReleased(const PagePoint &at);
    void textDoubleClicked(const PagePoint &at);
    // ---------------------------------------------------------------------------
    // A hand-tool click on a link to a web or mail address (http, https or
    // mailto only); the view opens nothing itself.
    void linkActivated(const QUrl &url);
    // A hand-tool click on a link inside the document, to the page (from 0) and
    // point (see showPagePoint) it names; the view does not move by itself.
    void destinationActivated(int page, const QPointF &point);
    // The pages' text or the selection changed, or another document is shown.
    void readingChanged();
    // Once per setDocument: the view was painted with all its tiles in place,
    // told a moment later, once the frame is on the screen.
    void firstPageShown();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // A scroll bar appearing or going narrows the viewport without resizing the view.
    bool viewportEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QPointF contentPoint(const QPoint &viewportPoint) const;
    // The pages to draw and, withWanted, the tiles to ask for (paints need no requests).
    TilePlan plan(bool withWanted) const;
    void viewChanged();
    std::optional<PageLink> linkAt(const QPoint &viewportPoint) const;
    void followLink(const QPoint &viewportPoint);

    std::shared_ptr<PdfDocument> m_document;
    ViewScroller m_scroller;
    MouseTool m_tool = MouseTool::Hand;
    TileSource m_tiles;
    Highlights m_highlights;
    HandDrag m_drag;
    WheelNotches m_zoomWheel; // Ctrl+wheel turns not yet a zoom step
    bool m_rendersScheduled = false;
    bool m_awaitingFirstPage = false;
    const PageReading *m_reading = nullptr; // the text layer, which unsets it when it goes
};
