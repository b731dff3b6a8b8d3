// Start-up order, caption, toolbar line-up, menus and keyboard shortcuts.
#include "ShellFixture.h"
#include "app/CommandLine.h"
#include "ui/Twips.h"
#include "viewer/pdf/NativeFileName.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

namespace {
QStringList itemNames(QMenu *menu)
{
    QStringList names;
    for (QAction *a : menu->actions())
        names << a->objectName();
    return names;
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void captionBeforeAndAfterLoad()
    {
        ShellFixture f(QString(), false);
        QCOMPARE(f.window->windowTitle(), QStringLiteral("PDF"));
        f.window->Form_Load();
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Vellumo V3.1"));
        QCOMPARE(f.viewer->opens.size(), 0); // no command line, no document
        QCOMPARE(control<QLineEdit>(*f.window, "Txtp")->text(), QStringLiteral("0"));
    }

    void toolbarButtonsAbutAfterLoad()
    {
        ShellFixture f;
        for (int i = 0; i <= 9; ++i)
            QCOMPARE(button(*f.window, i)->x(), twips::toPixels(1095.0 * i));
        QCOMPARE(button(*f.window, 9)->x(), twips::toPixels(9855));
        QCOMPARE(button(*f.window, 10)->pos(), QPoint(twips::toPixels(13920), twips::toPixels(120)));
        QCOMPARE(button(*f.window, 0)->text(), QStringLiteral("打开(O)..."));
        QCOMPARE(button(*f.window, 7)->text(), QStringLiteral("隐藏目录(&S)"));
    }

    void commandLineIsOpenedAsOneTextWithQuotes()
    {
        const char *const argv[] = {"vellumo", "\"/tmp/我的", "file.pdf\""};
        QCOMPARE(commandLineText(3, argv), QStringLiteral("\"/tmp/我的 file.pdf\""));
        QCOMPARE(commandLineText(1, argv), QString());
        // A name in GBK bytes shows decoded and still stands for its own bytes.
        const char *const gbk[] = {"vellumo", "/tmp/\xD6\xB8\xC4\xCF.pdf"};
        QCOMPARE(commandLineText(2, gbk), QStringLiteral("/tmp/指南.pdf"));
        QCOMPARE(nativeFileName(QStringLiteral("/tmp/指南.pdf")), QByteArray(gbk[1]));

        ShellFixture f(QStringLiteral("\"/tmp/a b.pdf\""));
        QCOMPARE(f.viewer->opens.size(), 1);
        QCOMPARE(f.viewer->opens[0].path, QStringLiteral("\"/tmp/a b.pdf\""));
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Vellumo V3.1   [\"/tmp/a b.pdf\"]"));
    }

    void failedOpenAtStartupIsReportedAndStartupGoesOn()
    {
        ShellFixture f(QStringLiteral("/nowhere.pdf"), false);
        f.viewer->openStatuses = {1};
        f.window->Form_Load();
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Vellumo V3.1"));
        QVERIFY(!f.window->mnuBk().isEmpty());
    }

    void menusAreDefinedInOrder()
    {
        ShellFixture f;
        QStringList top;
        for (QAction *a : f.window->menuBar()->actions())
            top << a->text();
        QCOMPARE(top, QStringList({"文件(&F)", "选项(&O)", "缩放(B)", "查找(&S)", "模式(&M)",
                                   "书签(&K)", "帮助(&H)"}));
        QCOMPARE(itemNames(menu(*f.window, "mnuFile")),
                 QStringList({"mnuOpen", "mnuCf", "hen1", "mnuSf", "hen2", "mnuPr", "hen3", "mnuExit"}));
        QCOMPARE(itemNames(menu(*f.window, "mnuOp")),
                 QStringList({"mnuBack", "mnuLastpage", "mnuBp", "mnuNp", "mnuGopage", "hen5", "mnuXuan"}));
        QCOMPARE(itemNames(menu(*f.window, "mnuXuan")),
                 QStringList({"mnuTo0", "mnuTo90", "mnuTo180", "mnuTo360"}));
        QCOMPARE(itemNames(menu(*f.window, "mnuSuof")),
                 QStringList({"mnuDa", "mnuXiao", "hen6", "mnuShiji", "mnuChicun", "mnuKuandu"}));
        QCOMPARE(itemNames(menu(*f.window, "mnuSearch")),
                 QStringList({"mnuFindt", "mnuFindnext", "hen9", "mnuJiansuo", "hen10", "mnuCopy", "mnuSt"}));
        QCOMPARE(itemNames(menu(*f.window, "mnuMode")),
                 QStringList({"mnuSp", "mnuMp", "hen7", "mnuTuoya", "mnuXuanze", "hen8", "mnuSm", "mnuHm"}));
        QCOMPARE(itemNames(menu(*f.window, "mnuHelp")),
                 QStringList({"mnuNethelp", "mnuFankui", "hen12", "mnuJup", "hen13", "mnuAbout"}));
        QCOMPARE(itemNames(menu(*f.window, "mnuShu")).mid(0, 4),
                 QStringList({"mnuAddbk", "mnuBkm", "henshu", "mnuBk"}));
        QCOMPARE(f.window->mnuBk()[0]->text(), QStringLiteral("尚未添加书签"));
        QCOMPARE(action(*f.window, "mnuSt")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(action(*f.window, "mnuTo360")->text(), QStringLiteral("旋转270度"));
        for (QAction *a : f.window->findChildren<QAction *>())
            QVERIFY2(!a->isChecked(), qPrintable(a->objectName()));
    }

    void shortcutsReachTheirHandlers()
    {
        ShellFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.viewer->pageCount = 9;
        f.viewer->currentPage = 5;
        f.viewer->zoomFactor = 1.0;

        QTest::keyClick(f.window.get(), Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(f.viewer->currentPage, 4);
        QTest::keyClick(f.window.get(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(f.viewer->currentPage, 5);
        QTest::keyClick(f.window.get(), Qt::Key_F4);
        QCOMPARE(f.viewer->zoomFactor, 1.25);
        QTest::keyClick(f.window.get(), Qt::Key_F5);
        QCOMPARE(f.viewer->zoomFactor, 1.0);

        f.ui.fileAnswers = {QString()};
        QTest::keyClick(f.window.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(f.ui.fileRequests.size(), 1);

        f.ui.inputAnswers = {QString()};
        QTest::keyClick(f.window.get(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(f.ui.prompts.size(), 1);
        QCOMPARE(f.ui.prompts[0].title, QStringLiteral("Vellumo 全文查找文字"));

        QTest::keyClick(f.window.get(), Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(f.quitRequests, 1);
    }

    void sameAccessLetterWorksWithinItsOwnMenu()
    {
        ShellFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.viewer->zoomFactor = 1.0;
        // "缩小(&O)" in the zoom menu: open the menu, press O.
        menu(*f.window, "mnuSuof")->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(menu(*f.window, "mnuSuof")));
        QTest::keyClick(menu(*f.window, "mnuSuof"), Qt::Key_O);
        QTRY_COMPARE(f.viewer->zoomFactor, 0.75);
        // "打开(&O)..." in the file menu opens the file dialog.
        f.ui.fileAnswers = {QString()};
        menu(*f.window, "mnuFile")->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(menu(*f.window, "mnuFile")));
        QTest::keyClick(menu(*f.window, "mnuFile"), Qt::Key_O);
        QTRY_COMPARE(f.ui.fileRequests.size(), 1);
    }

    void closingTheWindowDoesNotQuestionOrQuit()
    {
        ShellFixture f;
        f.window->show();
        f.window->close();
        QCOMPARE(f.ui.messages.size(), 0);
        QCOMPARE(f.viewer->callCount("CloseDocument"), 0);
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
