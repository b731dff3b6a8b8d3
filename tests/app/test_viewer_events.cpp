// Page status on the toolbar and the context menu chosen by the tool.
#include "ShellFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

class TestViewerEvents : public QObject {
    Q_OBJECT
private slots:
    void pageStatusTexts_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("box");
        QTest::newRow("3 of 10") << 3 << 10 << "第 3 页，共 10 页。" << "3";
        QTest::newRow("1 of 1") << 1 << 1 << "第 1 页，共 1 页。" << "1";
        QTest::newRow("12 of 1234") << 12 << 1234 << "第 12 页，共 1234 页。" << "12";
    }
    void pageStatusTexts()
    {
        QFETCH(int, page);
        QFETCH(int, count);
        QFETCH(QString, label);
        QFETCH(QString, box);
        ShellFixture f;
        QCOMPARE(control<QLabel>(*f.window, "lblPage")->text(), QString());
        f.viewer->pageCount = count;
        emit f.viewer->PageChanged(page);
        QCOMPARE(control<QLabel>(*f.window, "lblPage")->text(), label);
        QCOMPARE(control<QLineEdit>(*f.window, "Txtp")->text(), box);
    }

    void closingKeepsTheLastStatus()
    {
        ShellFixture f;
        f.viewer->pageCount = 4;
        emit f.viewer->PageChanged(2);
        f.window->mnuCf_Click();
        QCOMPARE(control<QLabel>(*f.window, "lblPage")->text(), QStringLiteral("第 2 页，共 4 页。"));
        QCOMPARE(control<QLineEdit>(*f.window, "Txtp")->text(), QStringLiteral("2"));
    }

    void contextMenuFollowsTheTool()
    {
        ShellFixture f;
        f.viewer->mouseMode = 0;
        emit f.viewer->ContextMenuRequested(5, 5);
        f.window->mnuXuanze_Click();
        emit f.viewer->ContextMenuRequested(5, 5);
        // Opening a document brings the hand tool back.
        f.window->openPdf(QStringLiteral("/a.pdf"), QString(), QString());
        emit f.viewer->ContextMenuRequested(5, 5);
        QCOMPARE(f.ui.poppedMenus,
                 QList<QMenu *>({menu(*f.window, "mnuOp"), menu(*f.window, "mnuSearch"),
                                 menu(*f.window, "mnuOp")}));
    }
};

QTEST_MAIN(TestViewerEvents)
#include "test_viewer_events.moc"
