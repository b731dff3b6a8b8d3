// Placing the viewer and the start-page pane below the toolbar.
#include "ShellFixture.h"
#include "app/PaneLayout.h"
#include "ui/Twips.h"
#include "web/StartPagePane.h"

#include <QTest>

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void paneRectangleInTwips_data()
    {
        QTest::addColumn<bool>("minimized");
        QTest::addColumn<float>("outerWidth");
        QTest::addColumn<float>("outerHeight");
        QTest::addColumn<bool>("placed");
        QTest::addColumn<QRectF>("pane");
        QTest::newRow("inside the margins below the toolbar")
            << false << 9000.0f << 6000.0f << true << QRectF(30, 385, 8800, 4775);
        QTest::newRow("tiny window clamps to zero")
            << false << 150.0f << 1000.0f << true << QRectF(30, 385, 0, 0);
        QTest::newRow("minimized changes nothing") << true << 9000.0f << 6000.0f << false << QRectF();
    }
    void paneRectangleInTwips()
    {
        QFETCH(bool, minimized);
        QFETCH(float, outerWidth);
        QFETCH(float, outerHeight);
        QFETCH(bool, placed);
        QFETCH(QRectF, pane);
        const auto r = computePaneLayout(minimized, outerWidth, outerHeight, 375);
        QCOMPARE(r.has_value(), placed);
        if (placed)
            QCOMPARE(QRectF(r->left, r->top, r->width, r->height), pane);
    }

    void bothPanesShareTheRectangleEvenWhenTheStartPageIsHidden()
    {
        ShellFixture f;
        f.window->Toweb->hide();
        f.window->resize(700, 500);
        f.window->Form_Resize();
        const QRect viewer = f.viewer->geometry();
        QCOMPARE(f.window->Toweb->geometry(), viewer);
        QCOMPARE(viewer.left(), twips::toPixels(30));
        QCOMPARE(viewer.top(), twips::toPixels(385));
        QCOMPARE(viewer.width(), twips::toPixels(twips::fromPixels(f.window->frameGeometry().width()) - 200));
    }

    void minimizingLeavesThePanesWhereTheyWere()
    {
        ShellFixture f;
        f.window->show();
        f.window->resize(800, 600);
        const QRect before = f.viewer->geometry();
        f.window->setWindowState(Qt::WindowMinimized);
        f.window->Form_Resize();
        QCOMPARE(f.viewer->geometry(), before);
    }
};

QTEST_MAIN(TestLayout)
#include "test_layout.moc"
