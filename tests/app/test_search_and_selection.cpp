// Find next, full-text search prompt, copy and show the selection.
#include "ShellFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

class TestSearchAndSelection : public QObject {
    Q_OBJECT
private slots:
    void findNextOnlyAsksTheViewer()
    {
        ShellFixture f;
        f.window->mnuFindnext_Click();
        QCOMPARE(f.viewer->calls.filter("FindNext").size(), 1);
        QCOMPARE(f.ui.messages.size(), 0);
    }

    void fullTextSearchPromptAndMessages()
    {
        ShellFixture f;
        f.viewer->searchAllResult = 0;
        f.ui.inputAnswers = {QStringLiteral("  ")};
        f.window->mnuJiansuo_Click();
        QCOMPARE(f.ui.prompts[0].prompt, QStringLiteral("请您输入要检索的文字："));
        QCOMPARE(f.ui.prompts[0].title, QStringLiteral("Vellumo 全文检索"));
        QCOMPARE(f.viewer->callCount("SearchAll(  )"), 1); // blanks are searched as typed
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(f.ui.messages[0].text, QStringLiteral("未检索到相关内容！"));
        QCOMPARE(f.ui.messages[0].title, QStringLiteral("检索"));

        f.viewer->searchAllResult = 3;
        f.ui.inputAnswers = {QStringLiteral("  ")};
        f.window->mnuJiansuo_Click();
        QCOMPARE(f.ui.prompts[1].defaultText, QStringLiteral("  "));
        QCOMPARE(f.ui.messages.size(), 1);

        f.viewer->searchAllResult = ViewerControl::SearchIncomplete;
        f.ui.inputAnswers = {QStringLiteral("  ")};
        f.window->mnuJiansuo_Click();
        QCOMPARE(f.ui.messages.size(), 2);
        QCOMPARE(f.ui.messages[1].text,
                 QStringLiteral("在能检索的部分中未检索到相关内容，文档中有部分文字无法检索！"));

        f.ui.inputAnswers = {QString()};
        f.window->mnuJiansuo_Click();
        QCOMPARE(f.viewer->callCount("SearchAll"), 3);
        f.ui.inputAnswers = {QString()};
        f.window->mnuJiansuo_Click();
        QCOMPARE(f.ui.prompts[4].defaultText, QString());
        // The find prompt keeps its own memory.
        QCOMPARE(f.window->rememberedFindText(), QString());
    }

    void copyReplacesEveryClipboardFormat()
    {
        ShellFixture f;
        auto *old = new QMimeData;
        old->setHtml(QStringLiteral("<b>old</b>"));
        old->setData(QStringLiteral("application/x-old"), "x");
        QApplication::clipboard()->setMimeData(old);
        f.viewer->selectedText = QStringLiteral("第一行\nsecond line");
        f.window->mnuCopy_Click();
        const QMimeData *now = QApplication::clipboard()->mimeData();
        QCOMPARE(now->text(), QStringLiteral("第一行\nsecond line"));
        QVERIFY(!now->hasHtml());
        QVERIFY(!now->hasFormat(QStringLiteral("application/x-old")));

        f.viewer->selectedText.clear();
        f.window->mnuCopy_Click();
        QCOMPARE(QApplication::clipboard()->text(), QString());
    }

    void showSelectionInAMessage()
    {
        ShellFixture f;
        f.viewer->selectedText = QStringLiteral("选中的文字");
        f.window->mnuSt_Click();
        QCOMPARE(f.ui.messages[0].text, QStringLiteral("选中的文字"));
        QCOMPARE(f.ui.messages[0].title, QStringLiteral("Vellumo 显示所选内容"));
        QCOMPARE(f.ui.messages[0].icon, ModalUi::Icon::Information);
    }
};

QTEST_MAIN(TestSearchAndSelection)
#include "test_search_and_selection.moc"
