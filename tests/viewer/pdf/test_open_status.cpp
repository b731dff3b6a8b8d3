// OpenDocument's status for every kind of file, and the page state it leaves.
#include "Fixtures.h"
#include "ScriptedModalUi.h"
#include "viewer/pdf/BackgroundOpen.h"
#include "viewer/pdf/MuPdfViewer.h"
#include "viewer/pdf/NativeFileName.h"
#include "viewer/pdf/PageView.h"
#include "viewer/pdf/text/TextDocument.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

#include <sys/stat.h>

class TestOpenStatus : public QObject {
    Q_OBJECT
    Fixtures fx;
    ScriptedModalUi ui;

    int openOnce(const QString &path, const QString &user, const QString &owner)
    {
        MuPdfViewer viewer(ui);
        return viewer.OpenDocument(path, user, owner);
    }

    // The status, asked plainly and again after the path was opened early, as
    // the program does with its command line; -1 when the two differ.
    int open(const QString &path, const QString &user = {}, const QString &owner = {})
    {
        const int plain = openOnce(path, user, owner);
        openEarly(path);
        return openOnce(path, user, owner) == plain ? plain : -1;
    }

private slots:
    void plainDocumentOpens()
    {
        MuPdfViewer viewer(ui);
        const QString file = fx.pages("plain.pdf", 3);
        QCOMPARE(viewer.OpenDocument(file, {}, {}), 0);
        QCOMPARE(viewer.PageCount(), 3);
        QCOMPARE(viewer.CurrentPage(), 1);
        QCOMPARE(viewer.DocumentPath(), QFileInfo(file).absoluteFilePath());
    }

    void documentPathIsAbsolute()
    {
        fx.pages("relative.pdf", 1);
        const QString previous = QDir::currentPath();
        QDir::setCurrent(QFileInfo(fx.path("relative.pdf")).absolutePath());
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(QStringLiteral("relative.pdf"), {}, {}), 0);
        QDir::setCurrent(previous);
        QCOMPARE(viewer.DocumentPath(), QFileInfo(fx.path("relative.pdf")).absoluteFilePath());
        QVERIFY(QFileInfo(viewer.DocumentPath()).isAbsolute());
    }

    // Qt spells every path in UTF-8; a name in GBK bytes, as given on the
    // command line, opens by those bytes and shows decoded.
    void documentNamedInGbkOpensByItsBytes()
    {
        const QByteArray gbk = QFile::encodeName(fx.path({})) + "/\xD6\xB8\xC4\xCF.pdf";
        QCOMPARE(std::rename(QFile::encodeName(fx.pages("gbk.pdf", 2)).constData(), gbk.constData()), 0);
        const QString path = pathFromNativeBytes(gbk);
        QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("指南.pdf"));
        QCOMPARE(open(path), 0); // early and late
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(path, {}, {}), 0);
        QCOMPARE(viewer.DocumentPath(), path);
        TextDocument::OpenResult indexed;
        QVERIFY(TextDocument::open(path, {}, {}, &indexed));
    }

    void userPasswordOnly()
    {
        const QString file = fx.pages("user.pdf", 2, QStringLiteral("u-secret"), {});
        QCOMPARE(open(file), 4);
        QCOMPARE(open(file, QStringLiteral("wrong"), QStringLiteral("wrong")), 4);
        QCOMPARE(open(file, QStringLiteral("u-secret"), {}), 0);
        // A user password typed into the owner box still opens the file.
        QCOMPARE(open(file, {}, QStringLiteral("u-secret")), 0);
    }

    void ownerPasswordOnlyOpensWithout()
    {
        const QString file = fx.pages("owner.pdf", 2, {}, QStringLiteral("o-secret"));
        QCOMPARE(open(file), 0);
    }

    void bothPasswordsEachOpen()
    {
        const QString file =
            fx.pages("both.pdf", 2, QStringLiteral("u-secret"), QStringLiteral("o-secret"));
        QCOMPARE(open(file), 4);
        QCOMPARE(open(file, QStringLiteral("u-secret"), {}), 0);
        QCOMPARE(open(file, {}, QStringLiteral("o-secret")), 0);
        // A wrong user password falls through to the right owner password.
        QCOMPARE(open(file, QStringLiteral("wrong"), QStringLiteral("o-secret")), 0);
        QCOMPARE(open(file, QStringLiteral("o-secret"), QStringLiteral("wrong")), 0);
        QCOMPARE(open(file, QStringLiteral("wrong"), QStringLiteral("wrong")), 4);
    }

    void unreadableFiles()
    {
        QCOMPARE(open(fx.path("missing.pdf")), 1);
        QCOMPARE(open(QString()), 1);
        QDir(fx.path({})).mkdir(QStringLiteral("folder.pdf"));
        QCOMPARE(open(fx.path("folder.pdf")), 1);
        // Not regular files: one reads zeros for ever, one blocks until written to.
        QCOMPARE(open(QStringLiteral("/dev/zero")), 1);
        QCOMPARE(mkfifo(QFile::encodeName(fx.path("pipe.pdf")).constData(), 0600), 0);
        QCOMPARE(open(fx.path("pipe.pdf")), 1);
    }

    void damagedFiles()
    {
        QCOMPARE(open(fx.bytes("text.pdf", "this is plain text, not a document\n")), 3);
        QCOMPARE(open(fx.bytes("empty.pdf", QByteArray())), 3);
        // A PNG signature: MuPDF could show it, but it is not a PDF.
        QCOMPARE(open(fx.bytes("image.pdf", QByteArray("\x89PNG\r\n\x1a\n", 8))), 3);
    }

    void truncatedFiles()
    {
        QFile whole(fx.pages("whole.pdf", 40));
        QVERIFY(whole.open(QIODevice::ReadOnly));
        const QByteArray bytes = whole.readAll();
        const int half = bytes.size() / 2;
        // Cut between two objects: repaired on the fly, the lost pages stay blank.
        const int afterObject = bytes.indexOf("endobj\n", half) + 7;
        MuPdfViewer viewer(ui);
        viewer.resize(400, 300);
        QCOMPARE(viewer.OpenDocument(fx.bytes("cut.pdf", bytes.left(afterObject)), {}, {}), 0);
        QCOMPARE(viewer.PageCount(), 40);
        viewer.setCurrentPage(40);
        QCOMPARE(viewer.CurrentPage(), 40);
        viewer.grab(); // renders what it can without failing
        // Cut inside an object, or inside the header: beyond repair.
        QCOMPARE(open(fx.bytes("half.pdf", bytes.left(afterObject - 20))), 3);
        QCOMPARE(open(fx.bytes("stub.pdf", bytes.left(12))), 3);
    }

    void withoutPageTree()
    {
        const QByteArray noPages = "%PDF-1.7\n"
                                   "1 0 obj\n<</Type/Catalog>>\nendobj\n"
                                   "trailer\n<</Root 1 0 R/Size 2>>\n%%EOF\n";
        QCOMPARE(open(fx.bytes("nopages.pdf", noPages)), 2);
        const QByteArray brokenKids = "%PDF-1.7\n"
                                      "1 0 obj\n<</Type/Catalog/Pages 2 0 R>>\nendobj\n"
                                      "2 0 obj\n<</Type/Pages/Kids[]/Count 0>>\nendobj\n"
                                      "trailer\n<</Root 1 0 R/Size 3>>\n%%EOF\n";
        QCOMPARE(open(fx.bytes("emptytree.pdf", brokenKids)), 2);
    }

    void anEarlyOpenOfAnotherPathIsDropped()
    {
        const QString early = fx.pages("early.pdf", 3);
        const QString asked = fx.pages("asked.pdf", 2);
        openEarly(early);
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(asked, {}, {}), 0);
        QCOMPARE(viewer.DocumentPath(), QFileInfo(asked).absoluteFilePath());
        QCOMPARE(viewer.PageCount(), 2);
    }

    void failedOpenKeepsTheOpenDocument()
    {
        MuPdfViewer viewer(ui);
        const QString file = fx.pages("kept.pdf", 4);
        QCOMPARE(viewer.OpenDocument(file, {}, {}), 0);
        viewer.setCurrentPage(3);
        QCOMPARE(viewer.OpenDocument(fx.path("missing.pdf"), {}, {}), 1);
        QCOMPARE(viewer.DocumentPath(), QFileInfo(file).absoluteFilePath());
        QCOMPARE(viewer.CurrentPage(), 3);
    }

    void pageChangedAfterOpenAndPut()
    {
        MuPdfViewer viewer(ui);
        QSignalSpy spy(&viewer, &ViewerControl::PageChanged);
        QCOMPARE(viewer.OpenDocument(fx.pages("five.pdf", 5), {}, {}), 0);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.takeFirst().at(0).toInt(), 1);
        viewer.setCurrentPage(4);
        QCOMPARE(viewer.CurrentPage(), 4);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.takeFirst().at(0).toInt(), 4);
        viewer.setPageLayout(0);
        viewer.setCurrentPage(2);
        QCOMPARE(viewer.CurrentPage(), 2);
        QCOMPARE(spy.takeLast().at(0).toInt(), 2);
    }

    void outOfRangePutsClamp()
    {
        MuPdfViewer viewer(ui);
        viewer.resize(600, 400);
        QCOMPARE(viewer.OpenDocument(fx.pages("range.pdf", 5), {}, {}), 0);
        QSignalSpy spy(&viewer, &ViewerControl::PageChanged);
        for (int layout : {1, 0}) {
            viewer.setPageLayout(qint16(layout));
            viewer.setCurrentPage(0);
            QCOMPARE(viewer.CurrentPage(), 1);
            viewer.setCurrentPage(-7);
            QCOMPARE(viewer.CurrentPage(), 1);
            viewer.setCurrentPage(6);
            QCOMPARE(viewer.CurrentPage(), 5);
            viewer.setCurrentPage(std::numeric_limits<int>::max());
            QCOMPARE(viewer.CurrentPage(), 5);
            viewer.setCurrentPage(std::numeric_limits<int>::min());
            QCOMPARE(viewer.CurrentPage(), 1);
        }
        // Every put is announced, so the shell's page box shows the clamped page.
        QCOMPARE(spy.count(), 10);
        QCOMPARE(spy.last().at(0).toInt(), 1);
    }

    void putsWithoutDocumentAreHarmless()
    {
        MuPdfViewer viewer(ui);
        QSignalSpy spy(&viewer, &ViewerControl::PageChanged);
        viewer.setCurrentPage(3);
        viewer.setZoomFactor(2.0);
        viewer.setRotation(90);
        viewer.setFitMode(2);
        viewer.setPageLayout(0);
        viewer.setOutlineVisible(1);
        viewer.setMouseMode(1);
        viewer.FindNext();
        viewer.PrintDocument(); // no dialog without a document
        QCOMPARE(viewer.CurrentPage(), 0);
        QCOMPARE(viewer.PageCount(), 0);
        QCOMPARE(viewer.DocumentPath(), QString());
        QCOMPARE(viewer.OutlineVisible(), 1);
        QCOMPARE(viewer.MouseMode(), qint16(1));
        QCOMPARE(viewer.FindText(QStringLiteral("x")), 0);
        QCOMPARE(viewer.SearchAll(QStringLiteral("x")), 0);
        QCOMPARE(viewer.SelectedText(), QString());
        QCOMPARE(ui.printDialogs, 0);
        QCOMPARE(spy.count(), 0);
        viewer.CloseDocument();
        QCOMPARE(viewer.DocumentPath(), QString());
    }

    void closeForgetsTheDocument()
    {
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(fx.pages("close.pdf", 2), {}, {}), 0);
        viewer.CloseDocument();
        QCOMPARE(viewer.DocumentPath(), QString());
        QCOMPARE(viewer.PageCount(), 0);
        QCOMPARE(viewer.CurrentPage(), 0);
        viewer.setCurrentPage(2);
        QCOMPARE(viewer.CurrentPage(), 0);
    }

    void zoomPutsAreReadBack()
    {
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(fx.pages("zoom.pdf", 2), {}, {}), 0);
        viewer.setZoomFactor(0.05);
        QCOMPARE(viewer.ZoomFactor(), 0.05);
        viewer.setZoomFactor(3.25);
        QCOMPARE(viewer.ZoomFactor(), 3.25);
        viewer.setZoomFactor(std::nan(""));
        viewer.setZoomFactor(-1);
        viewer.setZoomFactor(0);
        QCOMPARE(viewer.ZoomFactor(), 3.25);
        viewer.setFitMode(1);
        QCOMPARE(viewer.ZoomFactor(), 1.0);
    }
};

QTEST_MAIN(TestOpenStatus)
#include "test_open_status.moc"
