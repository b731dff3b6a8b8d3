// A file that takes long to open (a hung network mount, here a named pipe nobody
// writes yet) never freezes the window: after a moment a progress wait appears,
// and giving up there leaves everything as it was; closing it never waits for the
// threads still reading it.
#include "Fixtures.h"
#include "ScriptedModalUi.h"
#include "viewer/pdf/MuPdfViewer.h"

#include <QFile>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {
// Pours the bytes into the pipe for every reader that opens it until `stop`, so a
// blocked open goes on (the engine may open the file more than once).
void feed(const QString &pipe, const QByteArray &bytes, const std::atomic<bool> &stop)
{
    while (!stop) {
        const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
        if (fd < 0) { // no reader yet
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        ::fcntl(fd, F_SETFL, 0);
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n <= 0)
                break; // the reader went away
            done += n;
        }
        ::close(fd);
    }
}
} // namespace

class TestSlowOpen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { std::signal(SIGPIPE, SIG_IGN); } // a reader may leave mid-write

    void givingUpLeavesTheOpenDocument()
    {
        Fixtures fx;
        ScriptedModalUi ui;
        MuPdfViewer viewer(ui);
        const QString first = fx.pages("first.pdf", 2);
        QCOMPARE(viewer.OpenDocument(first, {}, {}), 0);
        const QString pipe = fx.path("hung.pdf");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);

        ui.cancelProgress = true;
        QCOMPARE(viewer.OpenDocument(pipe, {}, {}), int(ViewerControl::Cancelled));
        QCOMPARE(ui.progressLabels, QStringList{QStringLiteral("正在打开文件，请稍候……")});
        QCOMPARE(viewer.DocumentPath(), first);
        QCOMPARE(viewer.PageCount(), 2);
        std::atomic<bool> stop{false};
        std::thread writer([&] { feed(pipe, QByteArray("not a pdf"), stop); });
        QTest::qWait(1000); // the abandoned open finishes unseen
        stop = true;
        writer.join();
    }

    // The text index opens the file again; here that second open hangs, since the
    // pipe has no writer any more. Closing the document and opening another must
    // not wait for it.
    void closingNeverWaitsForAHungIndex()
    {
        Fixtures fx;
        ScriptedModalUi ui;
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(fx.pages("other.pdf", 2), {}, {}), 0);
        QFile source(fx.pages("source.pdf", 3));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QString pipe = fx.path("hung.pdf");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        std::thread writer([&] { // one reader only: the viewer's own open
            const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY);
            const QByteArray bytes = source.readAll();
            for (qsizetype done = 0; fd >= 0 && done < bytes.size();) {
                const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
                if (n <= 0)
                    break;
                done += n;
            }
            ::close(fd);
        });
        QCOMPARE(viewer.OpenDocument(pipe, {}, {}), 0);
        writer.join();
        QCOMPARE(viewer.PageCount(), 3);

        viewer.CloseDocument();
        QCOMPARE(viewer.OpenDocument(fx.pages("after.pdf", 4), {}, {}), 0);
        bool ran = false;
        QTimer::singleShot(0, &viewer, [&] { ran = true; });
        QTRY_VERIFY(ran);
        QCOMPARE(viewer.PageCount(), 4);

        // The index's open waits for a writer until this one lets it end.
        int fd = -1;
        QTRY_VERIFY_WITH_TIMEOUT(
            (fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK)) >= 0, 30000);
        ::close(fd);
    }

    void aSlowFileIsWaitedFor()
    {
        Fixtures fx;
        ScriptedModalUi ui;
        MuPdfViewer viewer(ui);
        QFile source(fx.pages("source.pdf", 3));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray bytes = source.readAll();
        const QString pipe = fx.path("slow.pdf");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        std::atomic<bool> stop{false};
        std::thread writer([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(700));
            feed(pipe, bytes, stop);
        });
        const int status = viewer.OpenDocument(pipe, {}, {});
        stop = true;
        writer.join();
        // A pipe cannot be read backwards, so the engine may call it damaged; what
        // matters is that the answer came after the wait, not a cancellation.
        QVERIFY2(status >= 0 && status <= 4, qPrintable(QString::number(status)));
        QCOMPARE(ui.progressLabels.size(), 1);
    }
};

QTEST_MAIN(TestSlowOpen)
#include "test_slow_open.moc"
