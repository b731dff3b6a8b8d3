// Options, zoom-fit and mode menus: what they write to the viewer and their marks.
#include "ShellFixture.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

class TestNavigationAndView : public QObject {
    Q_OBJECT
private slots:
    void firstAndLastPageNeedAnOpenDocument()
    {
        ShellFixture f;
        f.viewer->pageCount = 7;
        f.window->mnuBack_Click();
        f.window->mnuLastpage_Click();
        QCOMPARE(f.viewer->callCount("setCurrentPage"), 0);
        f.viewer->documentPath = QStringLiteral("/a.pdf");
        f.window->mnuLastpage_Click();
        QCOMPARE(f.viewer->currentPage, 7);
        f.window->mnuBack_Click();
        QCOMPARE(f.viewer->currentPage, 1);
        f.viewer->pageCount = 1;
        f.window->mnuLastpage_Click();
        QCOMPARE(f.viewer->currentPage, 1);
    }

    void goToPageInputs_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("writes");
        QTest::addColumn<int>("page");
        // How the number is read is test_typed_page's table; here what the command does with it.
        QTest::newRow("read as the page box reads it") << " 3.9 " << true << 3;
        QTest::newRow("beyond the last page") << "500" << true << 500;
        QTest::newRow("no number") << "abc" << false << 0;
        QTest::newRow("cancel") << "" << false << 0;
    }
    void goToPageInputs()
    {
        QFETCH(QString, typed);
        QFETCH(bool, writes);
        QFETCH(int, page);
        ShellFixture f;
        f.viewer->documentPath = QStringLiteral("/a.pdf");
        f.viewer->pageCount = 20;
        f.ui.inputAnswers = {typed};
        f.window->mnuGopage_Click();
        QCOMPARE(f.ui.prompts[0].title, QStringLiteral("转到页面"));
        QCOMPARE(f.ui.prompts[0].prompt, QStringLiteral("请您输入要跳转到的页面："));
        QCOMPARE(f.ui.prompts[0].defaultText, QString());
        QCOMPARE(f.viewer->callCount("setCurrentPage"), writes ? 1 : 0);
        if (writes)
            QCOMPARE(f.viewer->currentPage, page);
        QCOMPARE(f.ui.messages.size(), 0);
    }

    void goToPageWithoutDocumentStillAsksButDropsTheAnswer()
    {
        ShellFixture f;
        f.ui.inputAnswers = {QStringLiteral("3")};
        f.window->mnuGopage_Click();
        QCOMPARE(f.ui.prompts.size(), 1);
        QCOMPARE(f.viewer->callCount("setCurrentPage"), 0);
    }

    void rotationIsAbsolute()
    {
        ShellFixture f;
        action(*f.window, "mnuTo90")->trigger();
        action(*f.window, "mnuTo90")->trigger();
        action(*f.window, "mnuTo360")->trigger();
        action(*f.window, "mnuTo180")->trigger();
        action(*f.window, "mnuTo0")->trigger();
        QStringList rotations;
        for (const QString &c : f.viewer->calls)
            if (c.startsWith("setRotation"))
                rotations << c;
        QCOMPARE(rotations, QStringList({"setRotation(90)", "setRotation(90)", "setRotation(270)",
                                         "setRotation(180)", "setRotation(0)"}));
    }

    void fitModesMoveTheMark()
    {
        ShellFixture f;
        struct Case { QAction *item; const char *call; };
        const Case cases[] = {{action(*f.window, "mnuShiji"), "setFitMode(0)"},
                              {action(*f.window, "mnuChicun"), "setFitMode(1)"},
                              {action(*f.window, "mnuKuandu"), "setFitMode(2)"},
                              {action(*f.window, "mnuKuandu"), "setFitMode(2)"}};
        for (const Case &c : cases) {
            f.viewer->clearCalls();
            c.item->trigger();
            QCOMPARE(f.viewer->calls, QStringList({c.call}));
            for (QAction *a : {action(*f.window, "mnuShiji"), action(*f.window, "mnuChicun"),
                               action(*f.window, "mnuKuandu")})
                QCOMPARE(a->isChecked(), a == c.item);
        }
        // Zooming leaves the fit mark alone.
        action(*f.window, "mnuShiji")->trigger();
        f.window->Cmdc_Click(3);
        QVERIFY(action(*f.window, "mnuShiji")->isChecked());
    }

    void modePairsAndOutlineCaption()
    {
        ShellFixture f;
        action(*f.window, "mnuSp")->trigger();
        QCOMPARE(f.viewer->calls.last(), QStringLiteral("setPageLayout(0)")); // single page
        QVERIFY(action(*f.window, "mnuSp")->isChecked()
                && !action(*f.window, "mnuMp")->isChecked());
        action(*f.window, "mnuMp")->trigger();
        QCOMPARE(f.viewer->calls.last(), QStringLiteral("setPageLayout(1)")); // continuous
        QVERIFY(action(*f.window, "mnuMp")->isChecked()
                && !action(*f.window, "mnuSp")->isChecked());
        action(*f.window, "mnuXuanze")->trigger();
        QVERIFY(action(*f.window, "mnuXuanze")->isChecked()
                && !action(*f.window, "mnuTuoya")->isChecked());
        QCOMPARE(f.viewer->mouseMode, qint16(1));
        action(*f.window, "mnuTuoya")->trigger();
        QVERIFY(action(*f.window, "mnuTuoya")->isChecked()
                && !action(*f.window, "mnuXuanze")->isChecked());
        QCOMPARE(f.viewer->mouseMode, qint16(0));

        action(*f.window, "mnuHm")->trigger();
        QCOMPARE(f.viewer->outlineVisible, 0);
        QCOMPARE(button(*f.window, 7)->text(), QStringLiteral("显示目录(&S)"));
        QVERIFY(action(*f.window, "mnuHm")->isChecked()
                && !action(*f.window, "mnuSm")->isChecked());
        action(*f.window, "mnuSm")->trigger();
        QCOMPARE(f.viewer->outlineVisible, 1);
        QCOMPARE(button(*f.window, 7)->text(), QStringLiteral("隐藏目录(&H)"));
        QVERIFY(action(*f.window, "mnuSm")->isChecked()
                && !action(*f.window, "mnuHm")->isChecked());
        QCOMPARE(f.viewer->callCount("setPageLayout"), 2);
    }
};

QTEST_MAIN(TestNavigationAndView)
#include "test_navigation_and_view.moc"
