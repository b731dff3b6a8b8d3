// The main window on a real X server. Driven from the keyboard as a reader
// does: the pages have the focus after an open, the reading keys move them,
// Alt+letter opens the menu-bar titles on the first press, and every menu
// shortcut acts whether the pages or the page box have the focus. And the
// password prompt stands centred on the window.
#include "Fixtures.h"
#include "ScriptedModalUi.h"
#include "ShellFixture.h"
#include "app/frmPdf.h"
#include "viewer/frmPs.h"
#include "viewer/pdf/MuPdfViewer.h"
#include "viewer/pdf/PageView.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <vector>

namespace {
void press(frmPdf &window, const QKeySequence &key)
{
    const QKeyCombination combination = key[0];
    QTest::keyClick(window.windowHandle(), combination.key(), combination.keyboardModifiers());
}
} // namespace

class TestViewerInWindow : public QObject {
    Q_OBJECT
private slots:
    void keyboardReading();
    void passwordPromptCentredOnTheWindow();
};

void TestViewerInWindow::keyboardReading()
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
    QSignalSpy firstPage(viewer, &ViewerControl::firstPageShown);
    window.Form_Load();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // What waits for the first page (text index, web requests) is told once.
    QTRY_COMPARE(firstPage.count(), 1);
    window.activateWindow(); // no window manager under xvfb-run gives it the keyboard
    QVERIFY(QTest::qWaitForWindowActive(&window));
    PageView *view = viewer->pageView();
    const QScrollBar *bar = view->verticalScrollBar();

    // Right after the open the pages take the reading keys, without a click.
    QCOMPARE(QApplication::focusWidget(), view);
    QVERIFY(view->layout().continuous());
    QTest::keyClick(window.windowHandle(), Qt::Key_PageDown);
    QVERIFY(bar->value() > 0);
    int before = bar->value();
    QTest::keyClick(window.windowHandle(), Qt::Key_Space);
    QVERIFY(bar->value() > before);
    before = bar->value();
    QTest::keyClick(window.windowHandle(), Qt::Key_Space, Qt::ShiftModifier);
    QVERIFY(bar->value() < before);
    QTest::keyClick(window.windowHandle(), Qt::Key_End);
    QCOMPARE(viewer->CurrentPage(), 5);
    QTRY_COMPARE(control<QLineEdit>(window, "Txtp")->text(), QStringLiteral("5"));
    QTest::keyClick(window.windowHandle(), Qt::Key_Home);
    QCOMPARE(viewer->CurrentPage(), 1);
    QCOMPARE(bar->value(), 0);

    // A toolbar button used with the mouse leaves the keys with the pages.
    QTest::mouseClick(button(window, 2), Qt::LeftButton);
    QCOMPARE(viewer->CurrentPage(), 2);
    QCOMPARE(QApplication::focusWidget(), view);
    // A button's access key acts where no menu title has the letter.
    QTest::keyClick(window.windowHandle(), Qt::Key_B, Qt::AltModifier);
    QTRY_COMPARE(viewer->CurrentPage(), 1); // the button's click is animated

    // The single-page layout shows one page; opening returns to continuous pages.
    action(window, "mnuSp")->trigger();
    QVERIFY(!view->layout().continuous());
    control<QLineEdit>(window, "Txtp")->setFocus();
    window.openPdf(fx.pages("second.pdf", 3), QString(), QString());
    QVERIFY(view->layout().continuous());
    QCOMPARE(QApplication::focusWidget(), view);
    QTest::keyClick(window.windowHandle(), Qt::Key_PageDown);
    QVERIFY(bar->value() > 0);

    // Alt+letter opens the menu-bar title even where a toolbar caption shares
    // the letter: 查找(&F), 缩小(&O), 隐藏目录(&S), and 隐藏目录(&H) once the
    // outline item renamed the button.
    const auto opensOnFirstPress = [&](Qt::Key letter, QMenu *menu) {
        QTest::keyClick(window.windowHandle(), letter, Qt::AltModifier);
        QTRY_VERIFY2(menu->isVisible(), qPrintable(menu->objectName()));
        menu->hide();
        QTRY_VERIFY(!menu->isVisible());
        view->setFocus();
    };
    opensOnFirstPress(Qt::Key_F, menu(window, "mnuFile"));
    opensOnFirstPress(Qt::Key_O, menu(window, "mnuOp"));
    opensOnFirstPress(Qt::Key_S, menu(window, "mnuSearch"));
    window.mnuSm_Click();
    QCOMPARE(button(window, 7)->text(), QStringLiteral("隐藏目录(&H)"));
    opensOnFirstPress(Qt::Key_H, menu(window, "mnuHelp"));

    // Every menu shortcut reaches its item from the pages and from the page
    // box. The items' own work is tested elsewhere; here it is held back so
    // nothing opens, closes or quits in between.
    std::vector<std::pair<QAction *, std::unique_ptr<QSignalSpy>>> items;
    for (QAction *action : window.findChildren<QAction *>()) {
        if (action->shortcut().isEmpty())
            continue;
        QObject::disconnect(action, &QAction::triggered, &window, nullptr);
        items.emplace_back(action, std::make_unique<QSignalSpy>(action, &QAction::triggered));
    }
    QVERIFY(items.size() >= 19);
    for (QWidget *focus : {static_cast<QWidget *>(view),
                           static_cast<QWidget *>(control<QLineEdit>(window, "Txtp"))}) {
        for (auto &[action, spy] : items) {
            focus->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), focus);
            const int count = spy->count();
            press(window, action->shortcut());
            QVERIFY2(spy->count() == count + 1,
                     qPrintable(action->objectName() + QLatin1Char(' ')
                                + action->shortcut().toString() + QStringLiteral(" in ")
                                + focus->objectName()));
        }
    }

    // The page box still takes typing and deleting, and Ctrl+Z undoes nothing.
    control<QLineEdit>(window, "Txtp")->setFocus();
    control<QLineEdit>(window, "Txtp")->selectAll();
    QTest::keyClick(window.windowHandle(), Qt::Key_3);
    QTest::keyClick(window.windowHandle(), Qt::Key_4);
    QTest::keyClick(window.windowHandle(), Qt::Key_Backspace);
    QCOMPARE(control<QLineEdit>(window, "Txtp")->text(), QStringLiteral("3"));
    QTest::keyClick(window.windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(control<QLineEdit>(window, "Txtp")->text(), QStringLiteral("3"));
}

void TestViewerInWindow::passwordPromptCentredOnTheWindow()
{
    ShellFixture f;
    f.window->show();
    f.window->move(f.window->screen()->availableGeometry().topLeft() + QPoint(20, 30));
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    frmPs prompt(QStringLiteral("/locked.pdf"), f.window.get());
    prompt.show();
    QVERIFY(QTest::qWaitForWindowExposed(&prompt));
    const QPoint offCentre = prompt.frameGeometry().center() - f.window->frameGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 4, qPrintable(QStringLiteral("%1, %2").arg(offCentre.x()).arg(offCentre.y())));
}

QTEST_MAIN(TestViewerInWindow)
#include "test_viewer_in_window.moc"
