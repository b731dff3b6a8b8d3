// What the window shows around opening, and its File menu: the caption, check
// marks and start page once a document is open, the file dialogs' names, print
// and close. What document control itself does is checked on its own.
#include "FileBytes.h"
#include "ShellFixture.h"
#include "viewer/frmPs.h"
#include "web/StartPagePane.h"

#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QWindow>

class TestFileMenu : public QObject {
    Q_OBJECT
private slots:
    void successResetsTheMarksAndNamesTheDocument()
    {
        ShellFixture f;
        f.window->mnuChicun_Click();
        f.window->mnuSp_Click();
        f.window->mnuXuanze_Click();
        f.window->mnuHm_Click();
        f.viewer->pathAfterOpen = QStringLiteral("/home/u/book.pdf");
        f.viewer->clearCalls();
        f.window->openPdf(QStringLiteral("book.pdf"), QString(), QString());

        QCOMPARE(f.viewer->calls.first(), QStringLiteral("OpenDocument(book.pdf,,)"));
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Vellumo V3.1   [/home/u/book.pdf]"));
        QVERIFY(control<QWidget>(*f.window, "Toweb")->isHidden());
        QVERIFY(action(*f.window, "mnuSm")->isChecked() && !action(*f.window, "mnuHm")->isChecked());
        QVERIFY(action(*f.window, "mnuKuandu")->isChecked() && !action(*f.window, "mnuShiji")->isChecked()
                && !action(*f.window, "mnuChicun")->isChecked());
        QVERIFY(action(*f.window, "mnuMp")->isChecked() && !action(*f.window, "mnuSp")->isChecked());
        QVERIFY(action(*f.window, "mnuTuoya")->isChecked() && !action(*f.window, "mnuXuanze")->isChecked());
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

    // A failed open, or a password prompt given up, leaves the caption or resets it.
    void captionAfterAnOpenThatFails_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("promptAnswer");
        QTest::addColumn<QString>("caption");
        QTest::newRow("damaged") << 3 << QString() << "Vellumo V3.1   [/a.pdf]";
        QTest::newRow("prompt cancelled") << 4 << "cancel" << "Vellumo V3.1";
        QTest::newRow("prompt closed") << 4 << "close" << "Vellumo V3.1   [/a.pdf]";
    }
    void captionAfterAnOpenThatFails()
    {
        QFETCH(int, status);
        QFETCH(QString, promptAnswer);
        QFETCH(QString, caption);
        ShellFixture f;
        f.window->openPdf(QStringLiteral("/a.pdf"), QString(), QString());
        f.viewer->openStatuses = {status};
        if (!promptAnswer.isEmpty())
            f.ui.dialogActions = {[promptAnswer](QDialog *d) {
                if (promptAnswer == "cancel")
                    QTest::mouseClick(qobject_cast<frmPs *>(d)->dcButton2, Qt::LeftButton);
                else
                    d->reject();
            }};
        f.window->openPdf(QStringLiteral("/b.pdf"), QString(), QString());
        QCOMPARE(f.viewer->opens.size(), 2);
        QCOMPARE(f.window->windowTitle(), caption);
    }

    // The chosen name is cleared once the copy is saved, kept otherwise.
    void saveClearsTheChosenNameOnlyOnceSaved()
    {
        struct Row {
            int status;
            bool nameCleared;
        };
        for (const Row row : {Row{ViewerControl::Saved, true}, Row{ViewerControl::SaveFailed, false},
                              Row{ViewerControl::SaveCancelled, false}}) {
            ShellFixture f;
            const QString target = f.dir.filePath("copy.pdf");
            f.viewer->documentPath = f.dir.filePath("doc.pdf");
            f.viewer->saveStatus = row.status;
            f.ui.fileAnswers = {target};
            f.window->mnuSf_Click();
            QVERIFY(f.ui.fileRequests[0].save);
            QCOMPARE(f.viewer->callCount(QStringLiteral("SaveCopy(%1)").arg(target)), 1);
            QCOMPARE(f.window->fileDialog().FileName, row.nameCleared ? QString() : target);
            QCOMPARE(f.ui.messages.size(), row.status == ViewerControl::SaveFailed ? 1 : 0);
        }
    }

    void saveWithoutDocumentKeepsTheChosenName()
    {
        ShellFixture f;
        const QString target = f.dir.filePath("copy.pdf");
        f.ui.fileAnswers = {target, QString()};
        f.window->mnuSf_Click();
        QCOMPARE(f.viewer->callCount("SaveCopy"), 0);
        QCOMPARE(f.window->fileDialog().FileName, target);
        f.window->Cmdc_Click(0); // the next dialog starts with that name
        QCOMPARE(f.ui.fileRequests[1].presetName, target);
    }

    void dialogsStartInTheDocumentsFolderAndSaveProposesItsName()
    {
        ShellFixture f;
        f.viewer->documentPath = QStringLiteral("/books/manual.pdf");
        f.ui.fileAnswers = {QString(), QString(), QStringLiteral("/elsewhere/other.pdf"), QString()};
        f.window->mnuSf_Click();
        f.window->Cmdc_Click(0);
        QCOMPARE(f.ui.fileRequests[0].presetName, QStringLiteral("/books/manual.pdf"));
        QCOMPARE(f.ui.fileRequests[1].presetName, QStringLiteral("/books"));
        // Without a document the dialog starts where the last file was chosen.
        f.window->Cmdc_Click(0);
        f.viewer->documentPath.clear();
        f.window->Cmdc_Click(0);
        QCOMPARE(f.ui.fileRequests[3].presetName, QStringLiteral("/elsewhere"));
    }

    void printOnlyWithADocument()
    {
        ShellFixture f;
        f.window->mnuPr_Click();
        QCOMPARE(f.viewer->callCount("PrintDocument"), 0);
        f.viewer->documentPath = QStringLiteral("/a.pdf");
        f.window->mnuPr_Click();
        QCOMPARE(f.viewer->callCount("PrintDocument"), 1);
    }

    void closeAlwaysClosesAndResetsTheCaption()
    {
        ShellFixture f;
        f.window->mnuCf_Click();
        QCOMPARE(f.viewer->callCount("CloseDocument"), 1);
        f.window->openPdf(QStringLiteral("/a.pdf"), QString(), QString());
        f.window->mnuCf_Click();
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Vellumo V3.1"));
        QCOMPARE(f.viewer->documentPath, QString());
    }
};

QTEST_MAIN(TestFileMenu)
#include "test_file_menu.moc"
