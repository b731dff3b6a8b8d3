// The viewer on screen: pages render at every zoom and rotation, keys, wheel
// and the hand tool scroll, the context menu is requested, and closing while
// renders are running is safe.
#include "Fixtures.h"
#include "ScriptedModalUi.h"
#include "viewer/pdf/MuPdfViewer.h"
#include "viewer/pdf/PageView.h"

#include <QScrollBar>
#include <QSignalSpy>

namespace {

// One big dark "W" near the top-left corner of every page.
SampleDocument inkInTopLeft(int pages)
{
    SampleDocument doc;
    for (int i = 0; i < pages; ++i)
        doc.pages.append({QSizeF(595, 842), {{QStringLiteral("W"), 40, 300, 250}}});
    return doc;
}

// The share of dark pixels in a part of the viewport.
double ink(PageView *view, const QRectF &area)
{
    const QImage shot = view->viewport()->grab().toImage();
    const QRect part = area.toAlignedRect().intersected(shot.rect());
    if (part.isEmpty())
        return 0;
    int dark = 0;
    for (int y = part.top(); y <= part.bottom(); ++y)
        for (int x = part.left(); x <= part.right(); ++x)
            dark += qGray(shot.pixel(x, y)) < 100;
    return double(dark) / (part.width() * part.height());
}

// The shown page's rectangle in viewport pixels.
QRectF shownPage(PageView *view, int page)
{
    const QRectF rect = view->layout().pageRect(page);
    return rect.translated(-view->horizontalScrollBar()->value(),
                           -view->verticalScrollBar()->value());
}

// A quarter of the page, kept clear of the page's edge and shadow.
QRectF quadrant(const QRectF &r, bool right, bool bottom)
{
    return QRectF(r.left() + (right ? r.width() / 2 : 0), r.top() + (bottom ? r.height() / 2 : 0),
                  r.width() / 2, r.height() / 2)
        .adjusted(4, 4, -4, -4);
}

// Shown at 800 × 600 with the document opened; the open's status.
int openShown(MuPdfViewer &viewer, const QString &path)
{
    viewer.resize(800, 600);
    viewer.show();
    return viewer.OpenDocument(path, {}, {});
}

} // namespace

class TestPageView : public QObject {
    Q_OBJECT
    Fixtures fx;
    ScriptedModalUi ui;

private slots:
    void rendersAtTheZoomExtremes()
    {
        MuPdfViewer viewer(ui);
        QCOMPARE(openShown(viewer, fx.write("ink.pdf", inkInTopLeft(3))), 0);
        PageView *view = viewer.pageView();
        for (double zoom : {0.05, 3.25, 1.0}) {
            viewer.setZoomFactor(zoom);
            QTRY_VERIFY2(ink(view, shownPage(view, 0)) > 0.01, qPrintable(QString::number(zoom)));
        }
    }

    void zoomingShowsTheEarlierImageUntilTheNewOneIsReady()
    {
        MuPdfViewer viewer(ui);
        QCOMPARE(openShown(viewer, fx.write("ink.pdf", inkInTopLeft(1))), 0);
        PageView *view = viewer.pageView();
        viewer.setZoomFactor(0.5);
        QTRY_VERIFY(view->isViewComplete());
        viewer.setZoomFactor(0.8);
        // No render for the new zoom has even been asked for yet; the page is not white.
        QVERIFY(!view->isViewComplete());
        QVERIFY(ink(view, quadrant(shownPage(view, 0), false, false)) > 0.02);
        QTRY_VERIFY(view->isViewComplete());
        QVERIFY(ink(view, quadrant(shownPage(view, 0), false, false)) > 0.02);
    }

    // A paint shows the tiles finished before it even when their queued arrival
    // has not run yet: so the window's first paint, busy laying out all its
    // text meanwhile, already shows the page.
    void aPaintTakesInTilesFinishedMeanwhile()
    {
        MuPdfViewer viewer(ui);
        QCOMPARE(openShown(viewer, fx.write("ink.pdf", inkInTopLeft(1))), 0);
        PageView *view = viewer.pageView();
        // The view's own queued call asks for the renders; the tiles' arrivals,
        // queued for the view's tile supply, are never handled here.
        QCoreApplication::sendPostedEvents(view, QEvent::MetaCall);
        const QRectF page = quadrant(shownPage(view, 0), false, false);
        for (int tries = 0; tries < 400 && ink(view, page) <= 0.02; ++tries)
            QTest::qSleep(50);
        QVERIFY(ink(view, page) > 0.02);
    }

    void rotationMovesTheInk()
    {
        MuPdfViewer viewer(ui);
        QCOMPARE(openShown(viewer, fx.write("ink.pdf", inkInTopLeft(1))), 0);
        viewer.setFitMode(0);
        PageView *view = viewer.pageView();
        struct {
            int rotation;
            bool right, bottom;
        } cases[] = {{0, false, false}, {90, true, false}, {180, true, true}, {270, false, true}};
        for (const auto &c : cases) {
            viewer.setRotation(c.rotation);
            // Scroll bars may come and go while the view settles: measure the page afresh.
            QTRY_VERIFY2(ink(view, quadrant(shownPage(view, 0), c.right, c.bottom)) > 0.05,
                         qPrintable(QString::number(c.rotation)));
            QCOMPARE(ink(view, quadrant(shownPage(view, 0), !c.right, !c.bottom)), 0.0);
        }
        viewer.setRotation(45); // not a quarter turn: ignored
        QVERIFY(ink(view, quadrant(shownPage(view, 0), false, true)) > 0.05);
    }

    void fitModesAndZoomOverride()
    {
        MuPdfViewer viewer(ui);
        QCOMPARE(openShown(viewer, fx.pages("fit.pdf", 3)), 0);
        PageView *view = viewer.pageView();
        viewer.setFitMode(2);
        const double width = viewer.ZoomFactor();
        QVERIFY(view->layout().pageRect(0).width() <= view->viewport()->width());
        QVERIFY(view->layout().pageRect(0).width() > view->viewport()->width() * 0.8);
        viewer.setFitMode(0);
        QVERIFY(view->layout().pageRect(0).height() <= view->viewport()->height());
        QVERIFY(viewer.ZoomFactor() < width);
        // A zoom put ends fitting: resizing keeps it.
        viewer.setZoomFactor(0.5);
        viewer.resize(500, 400);
        QCOMPARE(viewer.ZoomFactor(), 0.5);
        // Until the next fit mode put, which follows the window again.
        viewer.setFitMode(2);
        const double narrow = viewer.ZoomFactor();
        viewer.resize(900, 400);
        QVERIFY(viewer.ZoomFactor() > narrow);
        // Fit window from the middle of a page shows that page whole.
        view->verticalScrollBar()->setValue(int(view->layout().pageRect(1).center().y()));
        QCOMPARE(viewer.CurrentPage(), 2);
        viewer.setFitMode(0);
        QCOMPARE(viewer.CurrentPage(), 2);
        QTRY_VERIFY(QRectF(view->viewport()->rect()).contains(shownPage(view, 1)));

        // Pages of mixed widths: fitted, the widest fits across beside the
        // vertical bar and no horizontal bar shows; a zoom past the view has one.
        SampleDocument mixed;
        for (const QSizeF size : {QSizeF(595, 842), QSizeF(842, 595), QSizeF(595, 842)})
            mixed.pages.append(SamplePage::withLines({QStringLiteral("Page")}, 24, size));
        QCOMPARE(viewer.OpenDocument(fx.write("mixed.pdf", mixed), {}, {}), 0);
        for (const qint16 mode : {2, 0}) {
            viewer.setFitMode(mode);
            QVERIFY(view->verticalScrollBar()->isVisible());
            QVERIFY(!view->horizontalScrollBar()->isVisible());
            QCOMPARE(view->horizontalScrollBar()->maximum(), 0); // nothing to scroll sideways
        }
        viewer.setZoomFactor(3);
        QTRY_VERIFY(view->horizontalScrollBar()->isVisible());
    }

    void keysScrollAndTurnPages()
    {
        MuPdfViewer viewer(ui);
        viewer.resize(600, 400);
        viewer.show();
        QCOMPARE(viewer.OpenDocument(fx.pages("keys.pdf", 6), {}, {}), 0);
        viewer.setFitMode(0);
        PageView *view = viewer.pageView();
        QSignalSpy spy(&viewer, &ViewerControl::PageChanged);
        QTest::keyClick(view, Qt::Key_PageDown);
        QCOMPARE(viewer.CurrentPage(), 2);
        QTest::keyClick(view, Qt::Key_Space);
        QCOMPARE(viewer.CurrentPage(), 3);
        QTest::keyClick(view, Qt::Key_PageUp);
        QCOMPARE(viewer.CurrentPage(), 2);
        QTest::keyClick(view, Qt::Key_End);
        QCOMPARE(viewer.CurrentPage(), 6);
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(viewer.CurrentPage(), 1);
        QCOMPARE(spy.last().at(0).toInt(), 1);
        QVERIFY(spy.count() >= 5);
        const int before = view->verticalScrollBar()->value();
        QTest::keyClick(view, Qt::Key_Down);
        QVERIFY(view->verticalScrollBar()->value() > before);

        // One page at a time: paging past the end of a page shows the next one.
        viewer.setPageLayout(0);
        viewer.setCurrentPage(1);
        for (int i = 0; i < 4 && viewer.CurrentPage() == 1; ++i)
            QTest::keyClick(view, Qt::Key_PageDown);
        QCOMPARE(viewer.CurrentPage(), 2);
        QTest::keyClick(view, Qt::Key_PageUp);
        QCOMPARE(viewer.CurrentPage(), 1);
    }

    void wheelScrolls()
    {
        MuPdfViewer viewer(ui);
        viewer.resize(600, 400);
        viewer.show();
        QCOMPARE(viewer.OpenDocument(fx.pages("wheel.pdf", 4), {}, {}), 0);
        viewer.setFitMode(2);
        PageView *view = viewer.pageView();
        auto wheel = [view](int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            const QPointF at(50, 50);
            QWheelEvent event(at, view->viewport()->mapToGlobal(at), QPoint(),
                              QPoint(0, delta), Qt::NoButton, modifiers,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(view->viewport(), &event);
        };
        for (int i = 0; i < 60 && viewer.CurrentPage() == 1; ++i)
            wheel(-120);
        QCOMPARE(viewer.CurrentPage(), 2);
        viewer.setPageLayout(0);
        for (int i = 0; i < 60 && viewer.CurrentPage() == 2; ++i)
            wheel(-120);
        QCOMPARE(viewer.CurrentPage(), 3);
        for (int i = 0; i < 60 && viewer.CurrentPage() == 3; ++i)
            wheel(120);
        QCOMPARE(viewer.CurrentPage(), 2);

        // Ctrl+wheel zooms a notch at a time within the toolbar's limits: 3.0 still
        // steps to 3.25, then no further; 0.3 still steps to 0.05, then no further.
        viewer.setZoomFactor(1.0);
        wheel(120, Qt::ControlModifier);
        QCOMPARE(viewer.ZoomFactor(), 1.25);
        wheel(60, Qt::ControlModifier); // half a notch waits for the other half
        QCOMPARE(viewer.ZoomFactor(), 1.25);
        wheel(60, Qt::ControlModifier);
        QCOMPARE(viewer.ZoomFactor(), 1.5);
        viewer.setZoomFactor(3.0);
        for (int i = 0; i < 3; ++i)
            wheel(120, Qt::ControlModifier);
        QCOMPARE(viewer.ZoomFactor(), 3.25);
        viewer.setZoomFactor(0.3);
        for (int i = 0; i < 3; ++i)
            wheel(-120, Qt::ControlModifier);
        QVERIFY(qAbs(viewer.ZoomFactor() - 0.05) < 1e-9);
        QCOMPARE(viewer.CurrentPage(), 2); // zooming turned no page
    }

    void handToolDragsTheView()
    {
        MuPdfViewer viewer(ui);
        viewer.resize(600, 400);
        viewer.show();
        QCOMPARE(viewer.OpenDocument(fx.pages("drag.pdf", 3), {}, {}), 0);
        viewer.setZoomFactor(2.0);
        PageView *view = viewer.pageView();
        QWidget *port = view->viewport();
        QCOMPARE(port->cursor().shape(), Qt::OpenHandCursor);
        const QPoint scroll(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value());
        QTest::mousePress(port, Qt::LeftButton, {}, QPoint(300, 300));
        QCOMPARE(port->cursor().shape(), Qt::ClosedHandCursor);
        QMouseEvent move(QEvent::MouseMove, QPointF(250, 180), port->mapToGlobal(QPointF(250, 180)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(port, &move);
        QTest::mouseRelease(port, Qt::LeftButton, {}, QPoint(250, 180));
        QCOMPARE(port->cursor().shape(), Qt::OpenHandCursor);
        QCOMPARE(view->horizontalScrollBar()->value(), scroll.x() + 50);
        QCOMPARE(view->verticalScrollBar()->value(), scroll.y() + 120);
    }

    void textToolReportsPagePoints()
    {
        MuPdfViewer viewer(ui);
        viewer.resize(600, 400);
        viewer.show();
        QCOMPARE(viewer.OpenDocument(fx.pages("text.pdf", 2), {}, {}), 0);
        viewer.setZoomFactor(1.0);
        viewer.setMouseMode(1);
        QCOMPARE(viewer.MouseMode(), qint16(1));
        PageView *view = viewer.pageView();
        QSignalSpy pressed(view, &PageView::textPressed);
        const QPointF at = view->pageToWidget(0, QPointF(100, 50));
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at.toPoint());
        QCOMPARE(pressed.count(), 1);
        const PagePoint point = pressed.first().at(0).value<PagePoint>();
        QCOMPARE(point.page, 0);
        QVERIFY(std::abs(point.point.x() - 100) < 1 && std::abs(point.point.y() - 50) < 1);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at.toPoint());
        // Off the page (left of it, in the grey), no page; the nearest page clamps.
        const QPoint margin = view->pageToWidget(0, QPointF(-20, 50)).toPoint();
        QCOMPARE(view->widgetToPage(margin).page, -1);
        QCOMPARE(view->widgetToPage(at.toPoint()).page, 0);
        const PagePoint clamped = view->widgetToNearestPage(margin);
        QCOMPARE(clamped.page, 0);
        QCOMPARE(clamped.point.x(), 0.0);
        // The view does not move with the text tool.
        QCOMPARE(view->verticalScrollBar()->value(), 0);
    }

    void contextMenuIsRequested()
    {
        MuPdfViewer viewer(ui);
        viewer.resize(600, 400);
        viewer.show();
        QSignalSpy spy(&viewer, &ViewerControl::ContextMenuRequested);
        QWidget *port = viewer.pageView()->viewport();
        QContextMenuEvent mouse(QContextMenuEvent::Mouse, QPoint(20, 30), port->mapToGlobal(QPoint(20, 30)));
        QApplication::sendEvent(port, &mouse);
        QCOMPARE(spy.count(), 1);
        viewer.setMouseMode(1);
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5), port->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(port, &key);
        QCOMPARE(spy.count(), 2);
    }

    void closingWhileRenderingIsSafe()
    {
        const QString file = fx.write("many.pdf", inkInTopLeft(30));
        for (int round = 0; round < 10; ++round) {
            auto viewer = std::make_unique<MuPdfViewer>(ui);
            viewer->resize(800, 600);
            viewer->show();
            QCOMPARE(viewer->OpenDocument(file, {}, {}), 0);
            viewer->setZoomFactor(3.25);
            QCoreApplication::processEvents(); // renders start
            viewer->setZoomFactor(0.3);
            QCoreApplication::processEvents();
            if (round % 2) {
                viewer->CloseDocument();
                QCOMPARE(viewer->DocumentPath(), QString());
                QCOMPARE(viewer->OpenDocument(file, {}, {}), 0);
                QCoreApplication::processEvents();
            }
            // Destroyed with renders in flight.
        }
        MuPdfViewer viewer(ui);
        QCOMPARE(openShown(viewer, file), 0);
        QTRY_VERIFY(ink(viewer.pageView(), shownPage(viewer.pageView(), 0)) > 0.01);
    }
};

QTEST_MAIN(TestPageView)
#include "test_page_view.moc"
