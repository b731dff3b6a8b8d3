// File menu: save a copy (never destroying a file), print, close.
#include "FileBytes.h"
#include "ShellFixture.h"

#include <QDir>
#include <QFile>

#include <unistd.h>
#include <QTest>

class TestDocumentCommands : public QObject {
    Q_OBJECT
private slots:
    void saveCopiesByteForByteAndReplacesTheTarget()
    {
        ShellFixture f;
        const QString source = f.dir.filePath("doc.pdf");
        const QString target = f.dir.filePath("copy.pdf");
        QByteArray bytes(200000, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7);
        writeBytes(source, bytes);
        writeBytes(target, "old contents that are longer than nothing");
        f.viewer->documentPath = source;
        f.ui.fileAnswers = {target};
        f.window->mnuSf_Click();
        QVERIFY(f.ui.fileRequests[0].save);
        QCOMPARE(readBytes(target), bytes);
        QCOMPARE(f.window->Cdf.FileName, QString());
        QCOMPARE(f.ui.messages.size(), 0);
    }

    void saveWithoutDocumentKeepsTheChosenName()
    {
        ShellFixture f;
        const QString target = f.dir.filePath("copy.pdf");
        f.ui.fileAnswers = {target, QString()};
        f.window->mnuSf_Click();
        QVERIFY(!QFile::exists(target));
        QCOMPARE(f.window->Cdf.FileName, target);
        f.window->Cmdc_Click(0); // the next dialog starts with that name
        QCOMPARE(f.ui.fileRequests[1].presetName, target);
    }

    void failedSaveReportsAndLeavesTheOldTarget()
    {
        if (geteuid() == 0)
            QSKIP("root writes into read-only folders");
        ShellFixture f;
        const QString source = f.dir.filePath("doc.pdf");
        writeBytes(source, "new");
        QDir(f.dir.path()).mkdir("ro");
        const QString target = f.dir.filePath("ro/copy.pdf");
        writeBytes(target, "old");
        QFile::setPermissions(f.dir.filePath("ro"), QFile::ReadOwner | QFile::ExeOwner);
        f.viewer->documentPath = source;
        f.ui.fileAnswers = {target};
        f.window->mnuSf_Click();
        QFile::setPermissions(f.dir.filePath("ro"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(readBytes(target), QByteArray("old"));
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(f.ui.messages[0].text, QStringLiteral("无法保存文件！"));
        QCOMPARE(f.ui.messages[0].title, QStringLiteral("提示"));
        QCOMPARE(f.ui.messages[0].icon, ModalUi::Icon::Error);
    }

    void failedSaveOfAVanishedSourceReports()
    {
        ShellFixture f;
        const QString target = f.dir.filePath("copy.pdf");
        writeBytes(target, "old");
        f.viewer->documentPath = f.dir.filePath("gone.pdf");
        f.ui.fileAnswers = {target};
        f.window->mnuSf_Click();
        QCOMPARE(readBytes(target), QByteArray("old"));
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(f.window->Cdf.FileName, target);
    }

    void saveIntoAMissingFolderReports()
    {
        ShellFixture f;
        const QString source = f.dir.filePath("doc.pdf");
        writeBytes(source, "doc");
        f.viewer->documentPath = source;
        f.ui.fileAnswers = {f.dir.filePath("no/such/folder/copy.pdf")};
        f.window->mnuSf_Click();
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(f.ui.messages[0].text, QStringLiteral("无法保存文件！"));
        QVERIFY(QDir(f.dir.path()).entryList(QDir::Files) == QStringList({"doc.pdf"}));
    }

    void savingOverTheOpenDocumentKeepsIt()
    {
        ShellFixture f;
        const QString source = f.dir.filePath("doc.pdf");
        writeBytes(source, "%PDF-1.7 the document");
        f.viewer->documentPath = source;
        f.ui.fileAnswers = {source};
        f.window->mnuSf_Click();
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
