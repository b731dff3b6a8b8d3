// Document control on its own: opening with every status, the view reset and the
// password exchange; saving a copy (never destroying a file) and printing.
#include "FileBytes.h"
#include "RecordingViewer.h"
#include "ScriptedModalUi.h"
#include "viewer/DocumentControl.h"
#include "viewer/frmPs.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
// A document control on a recording viewer, with what it reported.
struct Control {
    Control() { viewer->setParent(&window); }

    QTemporaryDir dir;
    ScriptedModalUi ui;
    QWidget window;
    RecordingViewer *viewer = new RecordingViewer; // owned by the window
    DocumentControl control{*viewer, ui, &window};
    QSignalSpy opened{&control, &DocumentControl::opened};
    QSignalSpy cancelled{&control, &DocumentControl::passwordCancelled};

    QStringList openedPaths() const
    {
        QStringList paths;
        for (const QList<QVariant> &signal : opened)
            paths << signal.at(0).toString();
        return paths;
    }
};

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

class TestDocumentControl : public QObject {
    Q_OBJECT
private slots:
    void successResetsTheViewAndReportsTheDocument()
    {
        Control c;
        c.viewer->pathAfterOpen = QStringLiteral("/home/u/book.pdf");
        c.control.open(QStringLiteral("book.pdf"), QString(), QString());

        QCOMPARE(c.viewer->calls,
                 QStringList({"OpenDocument(book.pdf,,)", "setOutlineVisible(1)", "setFitMode(2)",
                              "setPageLayout(1)", "setMouseMode(0)", "DocumentPath()"}));
        QCOMPARE(c.openedPaths(), QStringList{"/home/u/book.pdf"});
        QCOMPARE(c.ui.messages.size(), 0);
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
        Control c;
        c.control.open(QStringLiteral("/a.pdf"), QString(), QString());
        c.viewer->openStatuses = {status};
        c.viewer->clearCalls();
        c.control.open(QStringLiteral("/b.pdf"), QString(), QString());
        QCOMPARE(c.ui.messages.size(), 1);
        QCOMPARE(c.ui.messages[0].text, text);
        QCOMPARE(c.ui.messages[0].title, QStringLiteral("提示"));
        QCOMPARE(c.ui.messages[0].icon, ModalUi::Icon::Error);
        QCOMPARE(c.viewer->calls, QStringList{"OpenDocument(/b.pdf,,)"});
        QCOMPARE(c.openedPaths(), QStringList{"/a.pdf"});
    }

    void unknownStatusDoesNothing()
    {
        Control c;
        c.viewer->openStatuses = {7};
        c.control.open(QStringLiteral("/a.pdf"), QString(), QString());
        QCOMPARE(c.ui.messages.size(), 0);
        QCOMPARE(c.ui.dialogClasses.size(), 0);
        QCOMPARE(c.opened.size(), 0);
        QCOMPARE(c.cancelled.size(), 0);
    }

    void passwordRetriedUntilRight()
    {
        Control c;
        c.viewer->openStatuses = {4, 4, 4, 0};
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
        c.ui.dialogActions = {alone(answer("", "")), alone(answer("wrong", "")),
                              alone(answer("", "owner"))};
        c.control.open(QStringLiteral("/locked.pdf"), QString(), QString());

        QCOMPARE(c.ui.dialogClasses, QStringList({"frmPs", "frmPs", "frmPs"}));
        QCOMPARE(c.viewer->opens.size(), 4);
        QCOMPARE(c.viewer->opens[2].userPassword, QStringLiteral("wrong"));
        QCOMPARE(c.viewer->opens[2].ownerPassword, QString());
        QCOMPARE(c.viewer->opens[3].path, QStringLiteral("/locked.pdf"));
        QCOMPARE(c.viewer->opens[3].userPassword, QString());
        QCOMPARE(c.viewer->opens[3].ownerPassword, QStringLiteral("owner"));
        QCOMPARE(c.openedPaths(), QStringList{"/locked.pdf"});
        QCOMPARE(c.cancelled.size(), 0);
        QCOMPARE(c.ui.messages.size(), 0);
    }

    // Only the Cancel button gives up; closing the prompt reports nothing.
    void cancelIsReportedButClosingThePromptIsNot()
    {
        Control c;
        c.viewer->openStatuses = {4, 4};
        c.ui.dialogActions = {
            [](QDialog *d) { QTest::mouseClick(qobject_cast<frmPs *>(d)->dcButton2, Qt::LeftButton); },
            [](QDialog *d) { d->reject(); }};
        c.control.open(QStringLiteral("/locked.pdf"), QString(), QString());
        QCOMPARE(c.viewer->opens.size(), 1);
        QCOMPARE(c.cancelled.size(), 1);
        c.control.open(QStringLiteral("/locked.pdf"), QString(), QString());
        QCOMPARE(c.viewer->opens.size(), 2);
        QCOMPARE(c.cancelled.size(), 1);
        QCOMPARE(c.opened.size(), 0);
    }

    void promptLayout()
    {
        QWidget window;
        frmPs prompt(QStringLiteral("/locked.pdf"), &window);
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

    // The viewer writes the copy (of the version it shows); the control asks for
    // it and reports a failure, but not a cancel. True: the chosen name is done with.
    void saveAsksTheViewerAndReportsOnlyAFailure()
    {
        struct Row {
            int status;
            int messages;
            bool done;
        };
        for (const Row row : {Row{ViewerControl::Saved, 0, true},
                              Row{ViewerControl::SaveFailed, 1, false},
                              Row{ViewerControl::SaveCancelled, 0, false}}) {
            Control c;
            const QString target = c.dir.filePath("copy.pdf");
            c.viewer->saveStatus = row.status;
            QCOMPARE(c.control.saveCopy(c.dir.filePath("doc.pdf"), target), row.done);
            QCOMPARE(c.viewer->callCount(QStringLiteral("SaveCopy(%1)").arg(target)), 1);
            QCOMPARE(c.ui.messages.size(), row.messages);
            if (row.messages) {
                QCOMPARE(c.ui.messages[0].text, QStringLiteral("无法保存文件！"));
                QCOMPARE(c.ui.messages[0].title, QStringLiteral("提示"));
                QCOMPARE(c.ui.messages[0].icon, ModalUi::Icon::Error);
            }
        }
    }

    void saveWithoutDocumentOrNameSavesNothing()
    {
        Control c;
        QVERIFY(!c.control.saveCopy(QString(), c.dir.filePath("copy.pdf")));
        QVERIFY(!c.control.saveCopy(c.dir.filePath("doc.pdf"), QString()));
        QCOMPARE(c.viewer->callCount("SaveCopy"), 0);
        QCOMPARE(c.ui.messages.size(), 0);
    }

    void savingOverTheOpenDocumentKeepsIt()
    {
        Control c;
        const QString source = c.dir.filePath("doc.pdf");
        writeBytes(source, "%PDF-1.7 the document");
        QVERIFY(c.control.saveCopy(source, source));
        QCOMPARE(c.viewer->callCount("SaveCopy"), 0);
        QCOMPARE(readBytes(source), QByteArray("%PDF-1.7 the document"));
        QCOMPARE(c.ui.messages.size(), 0);
    }

    void printOnlyWithADocument()
    {
        Control c;
        c.control.print();
        QCOMPARE(c.viewer->callCount("PrintDocument"), 0);
        c.viewer->documentPath = QStringLiteral("/a.pdf");
        c.control.print();
        QCOMPARE(c.viewer->callCount("PrintDocument"), 1);
    }
};

QTEST_MAIN(TestDocumentControl)
#include "test_document_control.moc"
