// The eleven toolbar commands, their guards and limits.
#include "ShellFixture.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

class TestDispatcher : public QObject {
    Q_OBJECT
private slots:
    void openShowsTheDialogAndOpensTheChosenFile()
    {
        ShellFixture f;
        f.ui.fileAnswers = {QStringLiteral("/tmp/a.pdf")};
        f.window->Cmdc_Click(0);
        QCOMPARE(f.ui.fileRequests.size(), 1);
        QCOMPARE(f.ui.fileRequests[0].filter, QStringLiteral("*.pdf|*.pdf"));
        QVERIFY(!f.ui.fileRequests[0].save);
        QCOMPARE(f.viewer->opens.size(), 1);
        QCOMPARE(f.viewer->opens[0].path, QStringLiteral("/tmp/a.pdf"));
        QCOMPARE(f.viewer->opens[0].userPassword, QString());
        QCOMPARE(f.viewer->opens[0].ownerPassword, QString());
        QCOMPARE(f.window->fileDialog().FileName, QString()); // emptied for the next dialog
    }

    void cancelledOpenChangesNothing()
    {
        ShellFixture f;
        f.ui.fileAnswers = {QString()};
        f.window->Cmdc_Click(0);
        QCOMPARE(f.viewer->opens.size(), 0);
        QCOMPARE(f.window->fileDialog().FileName, QString());
    }

    void previousAndNextStopAtTheEnds()
    {
        ShellFixture f;
        f.viewer->pageCount = 5;
        f.viewer->currentPage = 1;
        f.window->Cmdc_Click(1);
        QCOMPARE(f.viewer->callCount("setCurrentPage"), 0);
        f.viewer->currentPage = 2;
        f.window->Cmdc_Click(1);
        QCOMPARE(f.viewer->currentPage, 1);
        f.viewer->currentPage = 5;
        f.window->Cmdc_Click(2);
        QCOMPARE(f.viewer->callCount("setCurrentPage"), 1);
        f.viewer->currentPage = 4;
        f.window->Cmdc_Click(2);
        QCOMPARE(f.viewer->currentPage, 5);
    }

    void zoomStepsWithinTheLimits()
    {
        ShellFixture f;
        f.viewer->zoomFactor = 3.0;
        f.window->Cmdc_Click(3);
        QCOMPARE(f.viewer->zoomFactor, 3.25);
        f.viewer->clearCalls();
        f.window->Cmdc_Click(3); // 3.25 is above the ceiling
        QCOMPARE(f.viewer->zoomFactor, 3.25);
        QCOMPARE(f.viewer->callCount("setZoomFactor"), 0);

        f.viewer->zoomFactor = 0.3;
        f.window->Cmdc_Click(4);
        QVERIFY(qAbs(f.viewer->zoomFactor - 0.05) < 1e-9);
        f.viewer->zoomFactor = 0.25;
        f.viewer->clearCalls();
        f.window->Cmdc_Click(4);
        QCOMPARE(f.viewer->callCount("setZoomFactor"), 0);

        f.viewer->zoomFactor = 1.0;
        f.window->Cmdc_Click(4);
        QCOMPARE(f.viewer->zoomFactor, 0.75);
    }

    // Keys beside the menus': Ctrl+=, Ctrl++ and Ctrl+- zoom as the toolbar
    // does; F11 shows the pages alone on the whole screen, F11 or Escape returns.
    void zoomKeysAndFullScreen()
    {
        ShellFixture f;
        frmPdf *window = f.window.get();
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        f.viewer->zoomFactor = 1.0;
        QTest::keyClick(window, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(f.viewer->zoomFactor, 1.25);
        QTest::keyClick(window, Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(f.viewer->zoomFactor, 1.5);
        QTest::keyClick(window, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(f.viewer->zoomFactor, 1.25);
        f.viewer->zoomFactor = 3.25; // above the toolbar's ceiling
        QTest::keyClick(window, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(f.viewer->zoomFactor, 3.25);

        f.viewer->outlineVisible = 1;
        const QRect windowBefore = window->geometry();
        for (const Qt::Key leave : {Qt::Key_Escape, Qt::Key_F11}) {
            QTest::keyClick(window, Qt::Key_F11);
            QTRY_VERIFY(window->isFullScreen());
            QVERIFY(control<QWidget>(*window, "Picbar")->isHidden());
            QTRY_COMPARE(window->menuBar()->height(), 0);
            QCOMPARE(f.viewer->outlineVisible, 0);
            QTRY_COMPARE(control<QWidget>(*window, "Pdfc")->geometry(),
                         window->centralWidget()->rect());
            QTest::keyClick(window, Qt::Key_F5); // the menus' keys still work
            QCOMPARE(f.viewer->zoomFactor, 3.0);
            QTest::keyClick(window, leave);
            QTRY_VERIFY(!window->isFullScreen());
            QVERIFY(control<QWidget>(*window, "Picbar")->isVisible());
            QTRY_VERIFY(window->menuBar()->height() > 0);
            QCOMPARE(f.viewer->outlineVisible, 1);
            QTRY_COMPARE(window->geometry(), windowBefore);

            f.viewer->zoomFactor = 3.25;
        }
    }

    void findRemembersTheTextAndReportsMisses()
    {
        ShellFixture f;
        f.viewer->findResult = 0;
        f.ui.inputAnswers = {QStringLiteral("vellum")};
        f.window->Cmdc_Click(5);
        QCOMPARE(f.ui.prompts[0].prompt, QStringLiteral("请您输入要查找的文本："));
        QCOMPARE(f.ui.prompts[0].title, QStringLiteral("Vellumo 全文查找文字"));
        QCOMPARE(f.ui.prompts[0].defaultText, QString());
        QCOMPARE(f.viewer->callCount("FindText(vellum)"), 1);
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(f.ui.messages[0].text, QStringLiteral("没有找到相关的内容！"));
        QCOMPARE(f.ui.messages[0].title, QStringLiteral("Vellumo 查找"));
        QCOMPARE(f.ui.messages[0].icon, ModalUi::Icon::Information);

        // A hit shows nothing; the previous text is offered again.
        f.viewer->findResult = 1;
        f.ui.inputAnswers = {QStringLiteral("vellum")};
        f.window->Cmdc_Click(5);
        QCOMPARE(f.ui.prompts[1].defaultText, QStringLiteral("vellum"));
        QCOMPARE(f.ui.messages.size(), 1);

        // A miss in a document whose text was not all searched says so.
        f.viewer->findResult = ViewerControl::SearchIncomplete;
        f.ui.inputAnswers = {QStringLiteral("vellum")};
        f.window->Cmdc_Click(5);
        QCOMPARE(f.ui.messages.size(), 2);
        QCOMPARE(f.ui.messages[1].text,
                 QStringLiteral("在能查找的部分中没有找到相关的内容，文档中有部分文字无法查找！"));

        // Cancel forgets the text and searches nothing.
        f.ui.inputAnswers = {QString()};
        f.window->Cmdc_Click(5);
        QCOMPARE(f.window->rememberedFindText(), QString());
        QCOMPARE(f.viewer->callCount("FindText"), 3);
        f.ui.inputAnswers = {QString()};
        f.window->Cmdc_Click(5);
        QCOMPARE(f.ui.prompts[4].defaultText, QString());
    }

    void rotationButtonPopsUpTheRotationMenu()
    {
        ShellFixture f;
        f.ui.menuActions = {[](QMenu *menu) { menu->actions().at(1)->trigger(); }};
        f.window->Cmdc_Click(6);
        QCOMPARE(f.ui.poppedMenus.size(), 1);
        QCOMPARE(f.ui.poppedMenus[0], menu(*f.window, "mnuXuan"));
        QCOMPARE(f.viewer->callCount("setRotation(90)"), 1);
    }

    void outlineButtonFollowsTheViewersState()
    {
        ShellFixture f;
        f.viewer->outlineVisible = 1;
        f.window->Cmdc_Click(7);
        QCOMPARE(f.viewer->outlineVisible, 0);
        QVERIFY(action(*f.window, "mnuHm")->isChecked());
        QCOMPARE(button(*f.window, 7)->text(), QStringLiteral("显示目录(&S)"));
        f.viewer->outlineVisible = 5; // anything but 1 shows the outline
        f.window->Cmdc_Click(7);
        QCOMPARE(f.viewer->outlineVisible, 1);
        QVERIFY(action(*f.window, "mnuSm")->isChecked());
        QCOMPARE(button(*f.window, 7)->text(), QStringLiteral("隐藏目录(&H)"));
    }

    void printCallsTheViewerWithoutAnyCheck()
    {
        ShellFixture f;
        f.window->Cmdc_Click(8);
        QCOMPARE(f.viewer->callCount("PrintDocument()"), 1);
    }

    void goToTheTypedPage()
    {
        ShellFixture f;
        f.viewer->pageCount = 10;
        control<QLineEdit>(*f.window, "Txtp")->setText(QStringLiteral("3.7"));
        f.window->Cmdc_Click(10);
        QCOMPARE(f.viewer->currentPage, 3);
        control<QLineEdit>(*f.window, "Txtp")->setText(QStringLiteral("99"));
        f.window->Cmdc_Click(10); // out of range goes to the viewer unchanged
        QCOMPARE(f.viewer->currentPage, 99);
        control<QLineEdit>(*f.window, "Txtp")->setText(QString());
        f.viewer->clearCalls();
        f.window->Cmdc_Click(10);
        control<QLineEdit>(*f.window, "Txtp")->setText(QStringLiteral("abc"));
        f.window->Cmdc_Click(10);
        QCOMPARE(f.viewer->calls, QStringList());
    }

    void unknownIndexDoesNothing()
    {
        ShellFixture f;
        f.viewer->clearCalls();
        f.window->Cmdc_Click(11);
        f.window->Cmdc_Click(-1);
        QCOMPARE(f.viewer->calls, QStringList());
    }

    void toolbarClickReachesTheDispatcher()
    {
        ShellFixture f;
        f.viewer->zoomFactor = 1.0;
        QTest::mouseClick(button(*f.window, 3), Qt::LeftButton);
        QCOMPARE(f.viewer->zoomFactor, 1.25);
    }
};

QTEST_MAIN(TestDispatcher)
#include "test_dispatcher.moc"
