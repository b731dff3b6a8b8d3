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
        f.window->mnuTo90->trigger();
        f.window->mnuTo90->trigger();
        f.window->mnuTo360->trigger();
        f.window->mnuTo180->trigger();
        f.window->mnuTo0->trigger();
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
        const Case cases[] = {{f.window->mnuShiji, "setFitMode(0)"},
                              {f.window->mnuChicun, "setFitMode(1)"},
                              {f.window->mnuKuandu, "setFitMode(2)"},
                              {f.window->mnuKuandu, "setFitMode(2)"}};
        for (const Case &c : cases) {
            f.viewer->clearCalls();
            c.item->trigger();
            QCOMPARE(f.viewer->calls, QStringList({c.call}));
            for (QAction *a : {f.window->mnuShiji, f.window->mnuChicun, f.window->mnuKuandu})
                QCOMPARE(a->isChecked(), a == c.item);
        }
        // Zooming leaves the fit mark alone.
        f.window->mnuShiji->trigger();
        f.window->Cmdc_Click(3);
        QVERIFY(f.window->mnuShiji->isChecked());
    }

    void modePairsAndOutlineCaption()
    {
        ShellFixture f;
        f.window->mnuSp->trigger();
        QCOMPARE(f.viewer->calls.last(), QStringLiteral("setPageLayout(0)")); // single page
        QVERIFY(f.window->mnuSp->isChecked() && !f.window->mnuMp->isChecked());
        f.window->mnuMp->trigger();
        QCOMPARE(f.viewer->calls.last(), QStringLiteral("setPageLayout(1)")); // continuous
        QVERIFY(f.window->mnuMp->isChecked() && !f.window->mnuSp->isChecked());
        f.window->mnuXuanze->trigger();
        QVERIFY(f.window->mnuXuanze->isChecked() && !f.window->mnuTuoya->isChecked());
        QCOMPARE(f.viewer->mouseMode, qint16(1));
        f.window->mnuTuoya->trigger();
        QVERIFY(f.window->mnuTuoya->isChecked() && !f.window->mnuXuanze->isChecked());
        QCOMPARE(f.viewer->mouseMode, qint16(0));

        f.window->mnuHm->trigger();
        QCOMPARE(f.viewer->outlineVisible, 0);
        QCOMPARE(f.window->Cmdc[7]->text(), QStringLiteral("显示目录(&S)"));
        QVERIFY(f.window->mnuHm->isChecked() && !f.window->mnuSm->isChecked());
        f.window->mnuSm->trigger();
        QCOMPARE(f.viewer->outlineVisible, 1);
        QCOMPARE(f.window->Cmdc[7]->text(), QStringLiteral("隐藏目录(&H)"));
        QVERIFY(f.window->mnuSm->isChecked() && !f.window->mnuHm->isChecked());
        QCOMPARE(f.viewer->callCount("setPageLayout"), 2);
    }
};

QTEST_MAIN(TestNavigationAndView)
#include "test_navigation_and_view.moc"
