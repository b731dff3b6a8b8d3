// A document is one version of its file: what the viewer shows, searches and
// saves is what it read, whatever the path holds later; a change on disk is
// reloaded once it settles, and nothing a writer or a stranger puts at the path
// (half a file, a pipe, a folder, a file that never stops growing) freezes the
// window or mixes two versions.
#include "FileBytes.h"
#include "Fixtures.h"
#include "ScriptedModalUi.h"
#include "viewer/pdf/BackgroundOpen.h"
#include "viewer/pdf/FileReloader.h"
#include "viewer/pdf/MuPdfViewer.h"
#include "viewer/pdf/PageView.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The longest time the GUI thread went without running its timers.
class StallMeter {
public:
    StallMeter()
    {
        m_tick.setInterval(5);
        QObject::connect(&m_tick, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_since.restart());
        });
        m_since.start();
        m_tick.start();
    }
    qint64 longestMs() const { return m_longest; }

private:
    QTimer m_tick;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

// A document whose page n reads "<word> n".
SampleDocument worded(const QString &word, int pages)
{
    SampleDocument doc;
    for (int i = 1; i <= pages; ++i)
        doc.pages.append(SamplePage::withLines({QStringLiteral("%1 %2").arg(word).arg(i)}));
    return doc;
}

bool replaceByRename(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

class TestFileChanges : public QObject {
    Q_OBJECT
    Fixtures fx;
    ScriptedModalUi ui;

    // The shown version is whole and of one piece: its page count is one of the
    // versions', and its text is that version's text.
    static void verifyShowsOneVersion(MuPdfViewer &viewer)
    {
        const int pages = viewer.PageCount();
        QVERIFY2(pages == 3 || pages == 5, qPrintable(QString::number(pages)));
        const bool isNew = pages == 5;
        QCOMPARE(viewer.FindText(QStringLiteral("New 5")) > 0, isNew);
        QCOMPARE(viewer.FindText(QStringLiteral("Old 3")) > 0, !isNew);
    }

private slots:
    // The version read is the one shown and searched; a change made while it
    // was being opened is reloaded once the open is done.
    void aChangeDuringTheOpenIsReloaded()
    {
        for (const bool reloading : {false, true}) {
            const QString file = fx.write("opening.pdf", worded("Old", 3));
            openEarly(file); // read at once, on the opening thread
            QTest::qWait(300);
            QVERIFY(replaceByRename(fx.write("newer.pdf", worded("New", 2)), file));
            MuPdfViewer viewer(ui);
            QCOMPARE(viewer.OpenDocument(file, {}, {}), 0);
            QCOMPARE(viewer.PageCount(), 3);
            if (!reloading) {
                viewer.findChild<FileReloader *>()->stop(); // the index alone
                QCOMPARE(viewer.FindText(QStringLiteral("Old 3")), 1);
                QCOMPARE(viewer.CurrentPage(), 3);
                QCOMPARE(viewer.FindText(QStringLiteral("New 2")), 0);
                continue;
            }
            QTRY_COMPARE_WITH_TIMEOUT(viewer.PageCount(), 2, 10000);
            QCOMPARE(viewer.FindText(QStringLiteral("New 2")), 1);
            QCOMPARE(viewer.FindText(QStringLiteral("Old 1")), 0);
        }
    }

    // A file rewritten on disk shows its new version on the same page with the
    // same view, opened with the password given at open; a version still being
    // written is passed over.
    void aChangedFileIsReloaded()
    {
        const QString secret = QStringLiteral("pw");
        const QString file = fx.pages("changing.pdf", 3, secret);
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(file, secret, {}), 0);
        viewer.setCurrentPage(3);
        viewer.setZoomFactor(1.5);
        viewer.setRotation(90);
        viewer.setPageLayout(0);
        QSignalSpy pages(&viewer, &ViewerControl::PageChanged);

        // Rewritten in place, as LaTeX does it: half of it first, cut between
        // two objects, where MuPDF would open it with pages left blank.
        const QByteArray longer = readBytes(fx.pages("longer.pdf", 5, secret));
        const auto rewrite = [&file](const QByteArray &bytes) {
            QFile target(file);
            QVERIFY(target.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(target.write(bytes), bytes.size());
        };
        rewrite(longer.left(longer.indexOf("endobj\n", longer.size() / 2) + 7));
        QTest::qWait(1500);
        QCOMPARE(viewer.PageCount(), 3);
        rewrite(longer);
        QTRY_COMPARE_WITH_TIMEOUT(viewer.PageCount(), 5, 10000);
        QCOMPARE(viewer.CurrentPage(), 3);
        QCOMPARE(pages.last().at(0).toInt(), 3);
        QCOMPARE(viewer.ZoomFactor(), 1.5);
        QCOMPARE(viewer.pageView()->layout().rotation(), 90);
        QVERIFY(!viewer.pageView()->layout().continuous());

        // Replaced by a rename with a shorter version: its last page.
        QVERIFY(replaceByRename(fx.pages("shorter.pdf", 2, secret), file));
        QTRY_COMPARE_WITH_TIMEOUT(viewer.PageCount(), 2, 10000);
        QCOMPARE(viewer.CurrentPage(), 2);
        QCOMPARE(viewer.DocumentPath(), QFileInfo(file).absoluteFilePath());
    }

    // Whatever comes to stand at the path, the window keeps answering and shows
    // the old version or the new one whole; after a pipe, a folder or a file
    // that keeps growing, a proper new version is still taken.
    void strangeReplacementsNeverFreezeOrMix()
    {
        struct Row {
            const char *name;
            std::function<void(const QString &file)> change;
        };
        const QByteArray newer = readBytes(fx.write("new.pdf", worded("New", 5)));
        const QVector<Row> rows = {
            {"truncated mid-write",
             [&](const QString &file) { writeBytes(file, newer.left(newer.size() / 3)); }},
            {"a pipe",
             [](const QString &file) {
                 QFile::remove(file);
                 QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
             }},
            {"a folder",
             [](const QString &file) {
                 QFile::remove(file);
                 QVERIFY(QDir().mkdir(file));
             }},
            {"growing without end",
             [](const QString &file) {
                 QFile grown(file);
                 QVERIFY(grown.open(QIODevice::Append));
                 QElapsedTimer writing;
                 writing.start();
                 while (writing.elapsed() < 2500) { // never quiet long enough to settle
                     grown.write(QByteArray(4096, ' '));
                     grown.flush();
                     QTest::qWait(40);
                 }
             }},
        };
        for (const Row &row : rows) {
            const QString file = fx.write(QStringLiteral("strange.pdf"), worded("Old", 3));
            MuPdfViewer viewer(ui);
            QCOMPARE(viewer.OpenDocument(file, {}, {}), 0);
            StallMeter stalls;
            row.change(file);
            QTest::qWait(1500);
            QVERIFY2(stalls.longestMs() < 500, row.name);
            qInfo("%s: the GUI thread stalled at most %lld ms", row.name, stalls.longestMs());
            verifyShowsOneVersion(viewer);
            QCOMPARE(viewer.PageCount(), 3);

            QDir(file).removeRecursively();
            QFile::remove(file);
            writeBytes(file, newer);
            QTRY_COMPARE_WITH_TIMEOUT(viewer.PageCount(), 5, 10000);
            verifyShowsOneVersion(viewer);
            viewer.CloseDocument();
            QFile::remove(file);
        }
    }

    // A reload that does not end in time (here a huge damaged file, scanned
    // through) is abandoned, and the next version is still taken.
    void aReloadThatDoesNotEndIsAbandoned()
    {
        const QString file = fx.write("huge.pdf", worded("Old", 3));
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(file, {}, {}), 0);
        viewer.findChild<FileReloader *>()->setAttemptLimit(500);
        writeHugeSparseFile(fx.path("sparse.pdf"), qint64(20) << 30);
        QVERIFY(replaceByRename(fx.path("sparse.pdf"), file));
        QTest::qWait(1500);
        QCOMPARE(viewer.PageCount(), 3);
        QVERIFY(replaceByRename(fx.write("new.pdf", worded("New", 5)), file));
        QTRY_COMPARE_WITH_TIMEOUT(viewer.PageCount(), 5, 10000);
    }

    // Saving a copy writes the version shown, even when the path now names a
    // pipe, an endless device or another version; a copy that cannot be
    // written leaves the old target and no part file.
    void saveWritesTheShownVersion()
    {
        const QString file = fx.write("saved.pdf", worded("Old", 3));
        const QByteArray shown = readBytes(file);
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(file, {}, {}), 0);
        viewer.findChild<FileReloader *>()->stop(); // keep this version on screen
        const QString target = fx.bytes("copy.pdf", "old contents of the target");

        const QVector<std::function<void()>> replacements = {
            [&] { QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0); },
            [&] { QVERIFY(QFile::link(QStringLiteral("/dev/zero"), file)); },
            [&] { fx.write("saved.pdf", worded("New", 5)); },
        };
        for (const auto &replace : replacements) {
            QFile::remove(file);
            replace();
            QCOMPARE(viewer.SaveCopy(target), int(ViewerControl::Saved));
            QCOMPARE(readBytes(target), shown);
        }

        QCOMPARE(viewer.SaveCopy(fx.path("no/such/folder/copy.pdf")), int(ViewerControl::SaveFailed));
        if (geteuid() != 0) { // root writes into read-only folders
            QVERIFY(QDir(fx.path(".")).mkdir("ro"));
            const QString kept = fx.bytes("ro/copy.pdf", "old");
            QFile::setPermissions(fx.path("ro"), QFile::ReadOwner | QFile::ExeOwner);
            QCOMPARE(viewer.SaveCopy(kept), int(ViewerControl::SaveFailed));
            QFile::setPermissions(fx.path("ro"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QCOMPARE(readBytes(kept), QByteArray("old"));
            QCOMPARE(QDir(fx.path("ro")).entryList(QDir::Files), QStringList{"copy.pdf"});
        }
        const QStringList parts = QDir(fx.path(".")).entryList({"copy.pdf?*"}, QDir::Files);
        QVERIFY2(parts.isEmpty(), qPrintable(parts.join(' ')));
    }
};

QTEST_MAIN(TestFileChanges)
#include "test_file_changes.moc"
