// A file that takes long to open never freezes the window: after a moment a
// progress wait appears, and giving up there leaves everything as it was and
// stops the work. Here the slow file is a flat page tree of 100 000 pages, which
// once took minutes to open.
#include "Fixtures.h"
#include "HostilePdfs.h"
#include "ScriptedModalUi.h"
#include "ui/LongWork.h"
#include "viewer/pdf/BackgroundOpen.h"
#include "viewer/pdf/MuPdfViewer.h"
#include "viewer/pdf/shim/shim_alloc.h"

#include <QTest>

#include <ctime>

namespace {
constexpr int kPages = 100000;
}

class TestSlowOpen : public QObject {
    Q_OBJECT
    Fixtures fx;
    const QString m_many = fx.bytes("many.pdf", hostile::flatPages(kPages));

private slots:
    void givingUpLeavesTheOpenDocumentAndStopsTheOpen()
    {
        ScriptedModalUi ui;
        MuPdfViewer viewer(ui);
        const QString first = fx.pages("first.pdf", 2);
        QCOMPARE(viewer.OpenDocument(first, {}, {}), 0);
        // Searching every page waits until the background text index has read
        // them all, so its reading is not counted against the abandoned open.
        QCOMPARE(viewer.SearchAll(QStringLiteral("Page")), 2);
        ui.progressLabels.clear();
        const size_t before = vshim_allocated_bytes();

        ui.cancelProgress = true;
        QCOMPARE(viewer.OpenDocument(m_many, {}, {}), int(ViewerControl::Cancelled));
        QCOMPARE(ui.progressLabels, QStringList{QStringLiteral("正在打开文件，请稍候……")});
        QCOMPARE(viewer.DocumentPath(), first);
        QCOMPARE(viewer.PageCount(), 2);
        // The abandoned open stops and lets go of what it had read; a hang guard,
        // as the open it cut short would otherwise have run for minutes.
        QTRY_VERIFY_WITH_TIMEOUT(vshim_allocated_bytes() <= before + (1 << 20), 30000);

        // So does the open started with the program: given up after the window
        // took it over, or dropped as the window opened another path.
        openEarly(m_many);
        QCOMPARE(viewer.OpenDocument(m_many, {}, {}), int(ViewerControl::Cancelled));
        openEarly(m_many);
        QCOMPARE(viewer.OpenDocument(fx.path("missing.pdf"), {}, {}), int(ViewerControl::CannotOpen));
        QCOMPARE(viewer.PageCount(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(vshim_allocated_bytes() <= before + (1 << 20), 30000);
    }

    // A huge damaged file is scanned through for its objects before any page
    // is read; giving up the wait ends that scan too, within a second.
    void givingUpEndsTheScanOfAHugeFile()
    {
        const QString huge = writeHugeSparseFile(fx.path("huge.pdf"), qint64(20) << 30);
        ScriptedModalUi ui;
        ui.cancelProgress = true;
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(huge, {}, {}), int(ViewerControl::Cancelled));
        QTest::qWait(1000);
        const std::clock_t before = std::clock();
        QTest::qWait(1000);
        const double busy = double(std::clock() - before) / CLOCKS_PER_SEC;
        QVERIFY2(busy < 0.3, qPrintable(QStringLiteral("%1 s of processor time").arg(busy)));
    }

    // The open is a job the caller may hold past the viewer: it still ends,
    // with nothing left to show the document in.
    void anOpenOutlivingItsViewerEndsWithoutIt()
    {
        ScriptedModalUi ui;
        auto viewer = std::make_unique<MuPdfViewer>(ui);
        const std::shared_ptr<LongWork> open = viewer->beginOpen(m_many, {}, {});
        QVERIFY(open->isRunning());
        viewer.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!open->isRunning(), 60000);
        QCOMPARE(open->state(), LongWork::State::Finished);
        QCOMPARE(open->answer(), int(ViewerControl::Opened));
    }

    void aSlowFileIsWaitedFor()
    {
        ScriptedModalUi ui;
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(m_many, {}, {}), 0);
        QCOMPARE(ui.progressLabels.size(), 1);
        QCOMPARE(viewer.PageCount(), kPages);
        viewer.setCurrentPage(kPages);
        QCOMPARE(viewer.CurrentPage(), kPages);
    }
};

QTEST_MAIN(TestSlowOpen)
#include "test_slow_open.moc"
