// The real viewer inside the main window: its own keys scroll, and the menus'
// shortcuts still reach the menus while the pages have the keyboard focus.
#include "Fixtures.h"
#include "ScriptedModalUi.h"
#include "app/frmPdf.h"
#include "viewer/pdf/MuPdfViewer.h"
#include "viewer/pdf/PageView.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

class TestViewerInWindow : public QObject {
    Q_OBJECT
private slots:
    void viewerKeysDoNotShadowMenuShortcuts()
    {
        Fixtures fx;
        QTemporaryDir dir;
        ScriptedModalUi ui;
        auto *viewer = new MuPdfViewer(ui);
        frmPdf::Setup setup;
        setup.viewer = viewer;
        setup.ui = &ui;
        setup.webServiceBase = QStringLiteral("http://127.0.0.1:9");
        setup.bookmarkDir = dir.path();
        setup.commandLine = fx.pages("window.pdf", 5);
        frmPdf window(setup);
        window.Form_Load();
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        PageView *view = viewer->pageView();
        view->setFocus();
        QCOMPARE(viewer->CurrentPage(), 1);

        QTest::keyClick(view, Qt::Key_N, Qt::ControlModifier); // the menu's next page
        QCOMPARE(viewer->CurrentPage(), 2);
        QTest::keyClick(view, Qt::Key_B, Qt::ControlModifier); // and previous page
        QCOMPARE(viewer->CurrentPage(), 1);
        const double zoom = viewer->ZoomFactor();
        QTest::keyClick(view, Qt::Key_F4); // the menu's zoom in
        QCOMPARE(viewer->ZoomFactor(), zoom + 0.25);

        const int before = view->verticalScrollBar()->value();
        QTest::keyClick(view, Qt::Key_Space); // the viewer's own key scrolls a screen
        QVERIFY(view->verticalScrollBar()->value() > before);
        QTest::keyClick(view, Qt::Key_End);
        QCOMPARE(viewer->CurrentPage(), 5);
        QTRY_COMPARE(window.Txtp->text(), QStringLiteral("5"));
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(viewer->CurrentPage(), 1);
    }
};

QTEST_MAIN(TestViewerInWindow)
#include "test_viewer_in_window.moc"
