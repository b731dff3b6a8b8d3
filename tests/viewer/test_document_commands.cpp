// File menu: save a copy (never destroying a file), print, close.
#include "FileBytes.h"
#include "ShellFixture.h"

#include <QTest>

class TestDocumentCommands : public QObject {
    Q_OBJECT
private slots:
    // The viewer writes the copy (of the version it shows); the shell asks for
    // it, clears the chosen name and reports a failure, but not a cancel.
    void saveAsksTheViewerAndReportsOnlyAFailure()
    {
        struct Row {
            int status;
            int messages;
            bool nameCleared;
        };
        for (const Row row : {Row{ViewerControl::Saved, 0, true},
                              Row{ViewerControl::SaveFailed, 1, false},
                              Row{ViewerControl::SaveCancelled, 0, false}}) {
            ShellFixture f;
            const QString target = f.dir.filePath("copy.pdf");
            f.viewer->documentPath = f.dir.filePath("doc.pdf");
            f.viewer->saveStatus = row.status;
            f.ui.fileAnswers = {target};
            f.window->mnuSf_Click();
            QVERIFY(f.ui.fileRequests[0].save);
            QCOMPARE(f.viewer->callCount(QStringLiteral("SaveCopy(%1)").arg(target)), 1);
            QCOMPARE(f.window->fileDialog().FileName, row.nameCleared ? QString() : target);
            QCOMPARE(f.ui.messages.size(), row.messages);
            if (row.messages) {
                QCOMPARE(f.ui.messages[0].text, QStringLiteral("无法保存文件！"));
                QCOMPARE(f.ui.messages[0].title, QStringLiteral("提示"));
                QCOMPARE(f.ui.messages[0].icon, ModalUi::Icon::Error);
            }
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

    void savingOverTheOpenDocumentKeepsIt()
    {
        ShellFixture f;
        const QString source = f.dir.filePath("doc.pdf");
        writeBytes(source, "%PDF-1.7 the document");
        f.viewer->documentPath = source;
        f.ui.fileAnswers = {source};
        f.window->mnuSf_Click();
        QCOMPARE(f.viewer->callCount("SaveCopy"), 0);
        QCOMPARE(readBytes(source), QByteArray("%PDF-1.7 the document"));
        QCOMPARE(f.ui.messages.size(), 0);
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

QTEST_MAIN(TestDocumentCommands)
#include "test_document_commands.moc"
