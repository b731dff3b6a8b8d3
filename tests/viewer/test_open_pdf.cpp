// Opening a document: every status, the view resets, and the password exchange.
#include "ShellFixture.h"
#include "viewer/frmPs.h"
#include "web/StartPagePane.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QWindow>

namespace {
// Fills the prompt's boxes and presses OK.
std::function<void(QDialog *)> answer(const QString &user, const QString &owner)
{
    return [user, owner](QDialog *d) {
        auto *prompt = qobject_cast<frmPs *>(d);
        QVERIFY(prompt);
        int promptsShown = 0; // an earlier prompt never stays under this one
        for (QWidget *w : QApplication::topLevelWidgets())
            promptsShown += qobject_cast<frmPs *>(w) && w->isVisible();
        QCOMPARE(promptsShown, 1);
        QCOMPARE(prompt->txtUpw->text(), QString()); // every showing starts empty
        QCOMPARE(prompt->txtUpw->echoMode(), QLineEdit::Password);
        QTest::keyClicks(prompt->txtUpw, user);
        QTest::keyClicks(prompt->txtOpw, owner);
        QTest::mouseClick(prompt->dcButton1, Qt::LeftButton);
        QCOMPARE(prompt->txtUpw->text(), QString()); // no password stays behind
        QCOMPARE(prompt->txtOpw->text(), QString());
    };
}
} // namespace

class TestOpenPdf : public QObject {
    Q_OBJECT
private slots:
    void successResetsTheViewAndNamesTheDocument()
    {
        ShellFixture f;
        f.window->mnuChicun_Click();
        f.window->mnuSp_Click();
        f.window->mnuXuanze_Click();
        f.window->mnuHm_Click();
        f.viewer->pathAfterOpen = QStringLiteral("/home/u/book.pdf");
        f.viewer->clearCalls();
        f.window->openPdf(QStringLiteral("book.pdf"), QString(), QString());

        QCOMPARE(f.viewer->calls,
                 QStringList({"OpenDocument(book.pdf,,)", "setOutlineVisible(1)", "setFitMode(2)",
                              "setPageLayout(1)", "setMouseMode(0)", "DocumentPath()"}));
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Vellumo V3.1   [/home/u/book.pdf]"));
        QVERIFY(control<StartPagePane>(*f.window, "Toweb")->isHidden());
        QVERIFY(action(*f.window, "mnuSm")->isChecked()
                && !action(*f.window, "mnuHm")->isChecked());
        QVERIFY(action(*f.window, "mnuKuandu")->isChecked()
                && !action(*f.window, "mnuShiji")->isChecked()
                && !action(*f.window, "mnuChicun")->isChecked());
        QVERIFY(action(*f.window, "mnuMp")->isChecked()
                && !action(*f.window, "mnuSp")->isChecked());
        QVERIFY(action(*f.window, "mnuTuoya")->isChecked()
                && !action(*f.window, "mnuXuanze")->isChecked());
        // The outline button keeps the caption the last outline item gave it.
        QCOMPARE(button(*f.window, 7)->text(), QStringLiteral("显示目录(&S)"));
        QCOMPARE(f.ui.messages.size(), 0);
    }

    void captionShowsThePathAsWritten()
    {
        ShellFixture f;
        f.window->winId(); // a native window, whose title is what the user sees
        f.viewer->pathAfterOpen = QStringLiteral("/home/u/notes[*] & more.pdf");
        f.window->openPdf(QStringLiteral("notes.pdf"), QString(), QString());
        QCOMPARE(f.window->windowHandle()->title(),
                 QStringLiteral("Vellumo V3.1   [/home/u/notes[*] & more.pdf]"));
    }

    void failuresShowTheirMessageAndChangeNothingElse_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::newRow("cannot open") << 1 << "无法打开文件！";
        QTest::newRow("no page tree") << 2 << "无法读取文档目录！";
        QTest::newRow("damaged") << 3 << "此文件已破坏！";
    }
    void failuresShowTheirMessageAndChangeNothingElse()
    {
        QFETCH(int, status);
        QFETCH(QString, text);
        ShellFixture f;
        f.window->openPdf(QStringLiteral("/a.pdf"), QString(), QString());
        f.viewer->openStatuses = {status};
        f.window->openPdf(QStringLiteral("/b.pdf"), QString(), QString());
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(f.ui.messages[0].text, text);
        QCOMPARE(f.ui.messages[0].title, QStringLiteral("提示"));
        QCOMPARE(f.ui.messages[0].icon, ModalUi::Icon::Error);
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Vellumo V3.1   [/a.pdf]"));
    }

    void unknownStatusDoesNothing()
    {
        ShellFixture f;
        f.viewer->openStatuses = {7};
        f.window->openPdf(QStringLiteral("/a.pdf"), QString(), QString());
        QCOMPARE(f.ui.messages.size(), 0);
        QCOMPARE(f.ui.dialogClasses.size(), 0);
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Vellumo V3.1"));
        QVERIFY(!control<StartPagePane>(*f.window, "Toweb")->isHidden());
    }

    void passwordRetriedUntilRight()
    {
        ShellFixture f;
        f.viewer->openStatuses = {4, 4, 4, 0};
        // Each try comes once the prompt before it has closed, not from inside it.
        QList<QPointer<QDialog>> shown;
        const auto alone = [&shown](std::function<void(QDialog *)> act) {
            return [&shown, act](QDialog *d) {
                for (const QPointer<QDialog> &earlier : shown)
                    QVERIFY(!earlier);
                shown << d;
                act(d);
            };
        };
        f.ui.dialogActions = {alone(answer("", "")), alone(answer("wrong", "")),
                              alone(answer("", "owner"))};
        f.window->openPdf(QStringLiteral("/locked.pdf"), QString(), QString());

        QCOMPARE(f.ui.dialogClasses, QStringList({"frmPs", "frmPs", "frmPs"}));
        QCOMPARE(f.viewer->opens.size(), 4);
        QCOMPARE(f.viewer->opens[2].userPassword, QStringLiteral("wrong"));
        QCOMPARE(f.viewer->opens[2].ownerPassword, QString());
        QCOMPARE(f.viewer->opens[3].path, QStringLiteral("/locked.pdf"));
        QCOMPARE(f.viewer->opens[3].userPassword, QString());
        QCOMPARE(f.viewer->opens[3].ownerPassword, QStringLiteral("owner"));
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Vellumo V3.1   [/locked.pdf]"));
        QCOMPARE(f.ui.messages.size(), 0);
    }

    void cancelGivesTheNoDocumentCaption()
    {
        ShellFixture f;
        f.window->openPdf(QStringLiteral("/a.pdf"), QString(), QString());
        f.viewer->openStatuses = {4};
        f.ui.dialogActions = {[](QDialog *d) {
            QTest::mouseClick(qobject_cast<frmPs *>(d)->dcButton2, Qt::LeftButton);
        }};
        f.window->openPdf(QStringLiteral("/locked.pdf"), QString(), QString());
        QCOMPARE(f.viewer->opens.size(), 2);
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Vellumo V3.1"));
    }

    void closingThePromptLeavesTheCaption()
    {
        ShellFixture f;
        f.window->openPdf(QStringLiteral("/a.pdf"), QString(), QString());
        f.viewer->openStatuses = {4};
        f.ui.dialogActions = {[](QDialog *d) { d->reject(); }};
        f.window->openPdf(QStringLiteral("/locked.pdf"), QString(), QString());
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Vellumo V3.1   [/a.pdf]"));
    }

    void promptLayout()
    {
        ShellFixture f;
        frmPs prompt(QStringLiteral("/locked.pdf"), f.window.get());
        QCOMPARE(prompt.windowTitle(), QStringLiteral("请您输入文件密码"));
        QCOMPARE(prompt.dcButton1->text(), QStringLiteral("确定(&O)"));
        QCOMPARE(prompt.dcButton2->text(), QStringLiteral("取消(&C)"));
        QCOMPARE(prompt.txtOpw->echoMode(), QLineEdit::Password);
        QVERIFY(prompt.txtUpw->y() < prompt.txtOpw->y());
        // Tab order: user box, OK, Cancel, owner box.
        QWidget *w = prompt.txtUpw;
        QStringList chain;
        while (chain.size() < 4) {
            if (w->focusPolicy() & Qt::TabFocus)
                chain << w->objectName();
            w = w->nextInFocusChain();
        }
        QCOMPARE(chain, QStringList({"txtUpw", "dcButton1", "dcButton2", "txtOpw"}));
    }
};

QTEST_MAIN(TestOpenPdf)
#include "test_open_pdf.moc"
