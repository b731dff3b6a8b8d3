// Killing the program in the middle of bookmark adds and deletions never leaves a
// broken bk.ini: after every kill the file is the old or the new complete store.
//
// The test runs itself a second time as the victim: with VELLUMO_BOOKMARK_VICTIM set
// to a directory, it adds and deletes bookmarks there through the real menu
// handlers until it is killed.
#include "RecordingViewer.h"
#include "ScriptedModalUi.h"
#include "app/frmPdf.h"
#include "bookmarks/BookmarkStore.h"
#include "bookmarks/frmBk.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>

namespace {
const char *const victimVariable = "VELLUMO_BOOKMARK_VICTIM";

// Every stored page n belongs to the document "/文档/第n本.pdf", so a path paired
// with another bookmark's page shows.
QString documentFor(int page)
{
    return QStringLiteral("/文档/第%1本.pdf").arg(page);
}

[[noreturn]] void runVictim(const QString &dir)
{
    ScriptedModalUi ui;
    auto *viewer = new RecordingViewer;
    frmPdf::Setup setup;
    setup.viewer = viewer;
    setup.ui = &ui;
    setup.webServiceBase = QStringLiteral("http://127.0.0.1:9");
    setup.bookmarkDir = dir;
    frmPdf window(setup);
    window.createBookmarkItems();
    std::puts("ready");
    std::fflush(stdout);
    for (int page = 1;; ++page) {
        const QString file = BookmarkStore::filePath(dir);
        if (BookmarkStore::readCounter(file) <= BookmarkStore::kMaxBookmarks) {
            viewer->documentPath = documentFor(page);
            viewer->currentPage = page;
            window.mnuAddbk_Click();
        } else {
            // Delete the selected first line, then return.
            ui.dialogActions = {[](QDialog *d) {
                auto *manager = qobject_cast<frmBk *>(d);
                manager->dcButton1_Click();
                manager->dcButton2_Click();
            }};
            window.mnuBkm_Click();
        }
        ui.messages.clear();
    }
}

// "" when the file holds a complete store, otherwise what is wrong with it.
QString storeProblem(const QString &file)
{
    if (!QFile::exists(file))
        return QString(); // killed before the first add finished
    const int next = BookmarkStore::readCounter(file);
    if (next < 2 || next > BookmarkStore::kMaxBookmarks + 1)
        return QStringLiteral("counter %1").arg(next);
    for (int n = 1; n < next; ++n) {
        const QString page = BookmarkStore::readPage(file, n);
        const QString path = BookmarkStore::readPath(file, n);
        if (page.isEmpty() || path != documentFor(page.toInt()))
            return QStringLiteral("bookmark %1: path '%2', page '%3'").arg(n).arg(path, page);
    }
    return QString();
}
} // namespace

class TestBookmarkDurability : public QObject {
    Q_OBJECT
private slots:
    void killsNeverBreakTheStore()
    {
        QTemporaryDir dir;
        const QString file = BookmarkStore::filePath(dir.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(victimVariable), dir.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QRandomGenerator random(20261207);
        QString lastContent;
        int changes = 0;
        const int rounds = 200;
        for (int round = 0; round < rounds; ++round) {
            QProcess victim;
            victim.setProcessEnvironment(env);
            victim.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(victim.waitForReadyRead(30000));
            QThread::usleep(random.bounded(1000, 40000));
            victim.kill();
            QVERIFY(victim.waitForFinished(30000));
            const QString problem = storeProblem(file);
            QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("round %1: %2").arg(round).arg(problem)));
            QFile read(file);
            const QString content = read.open(QIODevice::ReadOnly) ? QString::fromUtf8(read.readAll()) : QString();
            changes += content != lastContent ? 1 : 0;
            lastContent = content;
        }
        qInfo("%d of %d kills came after a change to bk.ini", changes, rounds);
        // The victim must have got far enough to be killed mid-work, not only at start.
        QVERIFY2(changes > rounds / 4, qPrintable(QStringLiteral("only %1 changes").arg(changes)));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString victimDir = qEnvironmentVariable(victimVariable);
    if (!victimDir.isEmpty())
        runVictim(victimDir);
    TestBookmarkDurability test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_bookmark_durability.moc"
