#pragma once
// The scrolled view of the pages: lays them out (ViewLayout), shows rendered
// tiles from the cache, asks the render workers for missing ones, and turns
// wheel, keys and mouse into scrolling. Pages are numbered from 0 here.
//
// The GUI thread never waits for a render: a page whose tiles are not ready
// shows an earlier rendering of it scaled, or white.

#include "PageCache.h"
#include "PdfDocument.h"
#include "RenderPool.h"
#include "TileGrid.h"
#include "ViewLayout.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QPointer>

#include <memory>
#include <optional>

// A point on a page: page from 0 (-1 for none), point in page points (see
// ViewLayout for the page space).
struct PagePoint {
    int page = -1;
    QPointF point;
};

Q_DECLARE_METATYPE(PagePoint)

class PageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class MouseTool { Hand = 0, Text = 1 };

    explicit PageView(QWidget *parent = nullptr);
    ~PageView() override;

    // Shows the document from its first page; nullptr closes. Closing aborts the
    // running renders and waits for them to stop before dropping the document.
    void setDocument(std::shared_ptr<PdfDocument> document);
    const std::shared_ptr<PdfDocument> &document() const { return m_document; }

    int currentPage() const; // -1 without a document
    // Shows the page (clamped); emits currentPageChanged even if it was shown.
    void goToPage(int page);

    double zoom() const { return m_layout.zoom(); }
    void setZoom(double zoom); // ends any fit mode
    void setFitMode(FitMode mode);
    void setRotation(int degrees); // 0, 90, 180, 270
    void setContinuous(bool continuous);
    void setMouseTool(MouseTool tool);

    const ViewLayout &layout() const { return m_layout; }
    // True when every tile the viewport shows is rendered at the current scale.
    bool isViewComplete() const;
    // Device pixels per page point that tiles are rendered at: the zoom at the
    // screen's device pixel ratio, so text stays sharp on high-DPI screens.
    double deviceScale() const;

    // ---- Hooks for the text layer (selection and search) ----------------------
    enum class HighlightLayer { Selection, SearchHits };
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

signals:
    void currentPageChanged(int page);
    void contextMenuRequested(const QPoint &viewportPoint);
    // A click with the hand tool on a link to an outside address.
    void linkActivated(const QUrl &url);
    // With the text tool only; points snapped as in widgetToNearestPage.
    void textPressed(const PagePoint &at);
    void textMoved(const PagePoint &at);
    void textReleased(const PagePoint &at);
    void textDoubleClicked(const PagePoint &at);
    // ---------------------------------------------------------------------------

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // A scroll bar appearing or going narrows the viewport without resizing the view.
    bool viewportEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // Where the viewport's top-left corner sits on the current page, so a
    // relayout can put the same spot back there.
    struct Anchor {
        int page;
        QPointF fraction;
    };
    Anchor anchor() const;
    void restore(const Anchor &anchor);
    template <typename Change> void relayout(Change change);

    QRectF viewRect() const;
    QSizeF fitArea() const;
    QSize maxTileSize() const;
    void applyFit();
    void updateScrollBars();
    void scrollTo(const QPointF &contentPoint);
    void showPage(int page, bool scrollToTop);
    void followScroll();
    void step(int pixels);

    // The part of the page's image (device pixels) that lies in the content area.
    QRect imageArea(int page, const QRectF &area) const;
    TileGrid gridFor(int page) const;

    void scheduleRenders();
    void requestRenders();
    void addTiles(std::vector<TileRequest> &wanted, int page, const QRect &imageArea,
                  qint64 &bytes, qint64 budget) const;
    void tileRendered(const RenderedTile &tile);
    std::optional<PageLink> linkAt(const QPoint &viewportPoint) const;
    void followLink(const QPoint &viewportPoint);
    void paintPage(QPainter &painter, int page, const QRectF &view);
    void paintHighlights(QPainter &painter, int page, const QPointF &offset);

    std::shared_ptr<PdfDocument> m_document;
    ViewLayout m_layout;
    FitMode m_fit = FitMode::Width;
    MouseTool m_tool = MouseTool::Hand;
    PageCache m_cache;
    std::unique_ptr<RenderPool> m_pool;
    quint64 m_generation = 1; // bumped whenever rendered tiles stop matching the view
    bool m_rendersScheduled = false;
    bool m_followScroll = true; // off while the view scrolls itself
    QHash<HighlightLayer, QHash<int, QVector<QRectF>>> m_highlights;
    QPoint m_dragFrom;        // hand tool: where the drag started
    QPoint m_dragScroll;      // hand tool: scroll position then
    int m_zoomWheel = 0;
    bool m_relayingOut = false; // a viewport resize inside relayout only updates the size      // Ctrl+wheel angle not yet turned into a zoom step
    bool m_dragging = false;
    bool m_dragMoved = false; // hand tool: moved far enough to be a drag, not a click
};
