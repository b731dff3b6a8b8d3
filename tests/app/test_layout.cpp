// Placing the viewer and the start-page pane below the toolbar.
#include "ShellFixture.h"
#include "app/PaneLayout.h"
#include "app/Twips.h"
#include "web/StartPagePane.h"

#include <QTest>

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void designStripGivesTheDocumentedRectangle()
    {
        const auto r = computePaneLayout(false, 9000, 6000, 375);
        QVERIFY(r.has_value());
        QCOMPARE(r->left, 30.0f);
        QCOMPARE(r->top, 385.0f);
        QCOMPARE(r->width, 8800.0f);
        QCOMPARE(r->height, 4775.0f);
    }

    void minimizedWindowChangesNothing()
    {
        QVERIFY(!computePaneLayout(true, 9000, 6000, 375).has_value());
    }

    void tinyWindowClampsToZero()
    {
        const auto r = computePaneLayout(false, 150, 1000, 375);
        QVERIFY(r.has_value());
        QCOMPARE(r->width, 0.0f);
        QCOMPARE(r->height, 0.0f);
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
