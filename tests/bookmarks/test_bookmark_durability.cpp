// Killing the program in the middle of bookmark adds and deletions never leaves a
// broken bk.ini: after every kill the file is the old or the new complete store.
// Processes adding at once all keep their bookmarks.
//
// The test runs itself again as the victim: with VELLUMO_BOOKMARK_VICTIM set to a
// directory, it sets up a bookmark menu once and then, for each kill delay read
// from its input, forks a worker that adds and deletes bookmarks there through the
// menu's own add and manager until a timer on the worker's own CPU clock kills it. So a kill
// lands at the same point of the work however busy the machine is and however slow
// the build (sanitizers included). The delays are drawn up to a few operations'
// worth of CPU time, as measured first by a worker that times its operations.
#include "FileBytes.h"
#include "IniValue.h"
#include "ScriptedModalUi.h"
#include "ThreadCpuClock.h"
#include "bookmarks/BookmarkMenu.h"
#include "bookmarks/BookmarkStore.h"
#include "bookmarks/frmBk.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QIcon>
#include <QMenu>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <ctime>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

namespace {
const char *const victimVariable = "VELLUMO_BOOKMARK_VICTIM";
constexpr int kMeasuredOperations = 30;   // twenty additions, then deletions too
constexpr int kDearestPerKill = 2;        // kill delays reach twice the dearest operation
constexpr int kRounds = 200;

// Every stored page n belongs to the document "/文档/第n本.pdf", so a path paired
// with another bookmark's page shows.
QString documentFor(int page)
{
    return QStringLiteral("/文档/第%1本.pdf").arg(page);
}

QByteArray fingerprint(const QString &file)
{
    return QCryptographicHash::hash(readBytes(file), QCryptographicHash::Sha1).toHex();
}

// SIGKILL once this thread has used `micros` more CPU time.
void armKillTimer(qint64 micros)
{
    sigevent event{};
    event.sigev_notify = SIGEV_SIGNAL;
    event.sigev_signo = SIGKILL;
    timer_t timer{};
    itimerspec when{};
    when.it_value.tv_sec = micros / 1000000;
    when.it_value.tv_nsec = (micros % 1000000) * 1000 + 1;   // zero would disarm it
    if (timer_create(CLOCK_THREAD_CPUTIME_ID, &event, &timer) != 0
        || timer_settime(timer, 0, &when, nullptr) != 0) {
        std::perror("kill timer");
        std::_Exit(2);
    }
}

// Unbuffered, so everything written before a kill reaches the reader.
void writeTo(int fd, const QByteArray &bytes)
{
    [[maybe_unused]] const ssize_t written = ::write(fd, bytes.constData(), size_t(bytes.size()));
}

// Everything left to read in fd, once its writers are gone.
QByteArray readAllFrom(int fd)
{
    QByteArray all;
    char chunk[4096];
    for (ssize_t got; (got = ::read(fd, chunk, sizeof chunk)) > 0;)
        all.append(chunk, got);
    return all;
}

// The victim's side: a bookmark menu whose operations a worker repeats.
class Victim {
public:
    explicit Victim(const QString &dir)
        : m_menu(new QMenu(&m_window)), m_bookmarks(m_menu, dir, m_ui, &m_window),
          m_file(BookmarkStore::filePath(dir))
    {
        m_bookmarks.createItems();
        // Fonts and styles the manager window loads on first use are loaded here once,
        // so the workers' deletions cost about what their additions do.
        const QTemporaryDir scratch;
        frmBk(BookmarkStore::filePath(scratch.path()), m_ui, QIcon(), [](const auto &) {});
    }

    // Adds a bookmark, or deletes the first one when the store is full.
    void operate(int page)
    {
        if (BookmarkStore::read(m_file).size() < BookmarkStore::kMaxBookmarks) {
            m_bookmarks.add(documentFor(page), page);
        } else {
            m_ui.dialogActions = {[](QDialog *d) {
                auto *manager = qobject_cast<frmBk *>(d);
                manager->dcButton1_Click();
                manager->dcButton2_Click();
            }};
            m_bookmarks.manage(QIcon());
        }
        m_ui.messages.clear();
    }

    // Works as a worker to be killed does, timer aside, through additions and
    // deletions, and reports the CPU time of the dearest operation in microseconds.
    [[noreturn]] void measure(int report)
    {
        const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        qint64 dearest = 0;
        for (int page = 1; page <= kMeasuredOperations; ++page) {
            const qint64 start = threadCpuMicros();
            reportedOperation(page, nowhere);
            dearest = qMax(dearest, threadCpuMicros() - start);
        }
        writeTo(report, QByteArray::number(dearest) + '\n');
        std::_Exit(0);
    }

    // Operates until the timer kills it; returns only if the timer never fires.
    [[noreturn]] void operateUntilKilled(qint64 killAfterMicros, int report)
    {
        armKillTimer(killAfterMicros);
        for (int page = 1; page <= 500; ++page)
            reportedOperation(page, report);
        std::_Exit(0);
    }

private:
    // Reports "b<fingerprint of bk.ini>" before and "e" after the operation.
    void reportedOperation(int page, int report)
    {
        writeTo(report, "b" + fingerprint(m_file) + "\n");
        operate(page);
        writeTo(report, "e\n");
    }

    ScriptedModalUi m_ui;
    QWidget m_window;
    QMenu *m_menu;   // owned by the window
    BookmarkMenu m_bookmarks;
    QString m_file;
};

// Each input line is "a<page>" (add or delete once, answered by "d"), "m"
// (measure) or a kill delay in microseconds of CPU time. For the last two a worker
// forked for the request does the work; then the victim writes the worker's last
// report line and "k" (killed) or "x" (it exited).
[[noreturn]] void runVictim(const QString &dir)
{
    Victim victim(dir);
    char line[64];
    while (std::fgets(line, sizeof line, stdin)) {
        if (line[0] == 'a') {
            victim.operate(QByteArray(line + 1).trimmed().toInt());
            writeTo(STDOUT_FILENO, "d\n");
            continue;
        }
        int reports[2];
        if (pipe(reports) != 0)
            std::_Exit(2);
        const pid_t worker = fork();
        if (worker == 0) {
            ::close(reports[0]);
            if (line[0] == 'm')
                victim.measure(reports[1]);
            victim.operateUntilKilled(QByteArray(line).trimmed().toLongLong(), reports[1]);
        }
        ::close(reports[1]);
        // The reports of a few operations fit the pipe's buffer; read once it is done.
        int status = 0;
        waitpid(worker, &status, 0);
        const QList<QByteArray> lines = readAllFrom(reports[0]).trimmed().split('\n');
        ::close(reports[0]);
        const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        writeTo(STDOUT_FILENO, lines.last() + (killed ? "\nk\n" : "\nx\n"));
    }
    std::_Exit(0);
}

// "" when the file holds a complete store, otherwise what is wrong with it.
QString storeProblem(const QString &file)
{
    if (!QFile::exists(file))
        return QString(); // killed before the first add finished
    // The counter as written, not as recovered from the paths.
    const QByteArray counter = iniValue(readBytes(file), QStringLiteral("bkinfo"), QStringLiteral("nextnum"));
    const QList<BookmarkStore::Bookmark> bookmarks = BookmarkStore::read(file);
    if (bookmarks.isEmpty() || counter != QByteArray::number(bookmarks.size() + 1))
        return QStringLiteral("counter %1").arg(QString::fromLatin1(counter));
    for (int n = 1; n <= bookmarks.size(); ++n) {
        const BookmarkStore::Bookmark &b = bookmarks[n - 1];
        if (b.page.isEmpty() || b.path != documentFor(b.page.toInt()))
            return QStringLiteral("bookmark %1: path '%2', page '%3'").arg(n).arg(b.path, b.page);
    }
    return QString();
}

struct Answer {
    QByteArray lastReport;   // the worker's last report line
    bool killed = false;
};

// Sends one request line to the victim; nothing when it stops answering.
std::optional<Answer> request(QProcess &victim, const QByteArray &line)
{
    victim.write(line + "\n");
    QList<QByteArray> lines;
    while (lines.size() < 2) {
        if (!victim.canReadLine() && !victim.waitForReadyRead(120000))
            return std::nullopt;
        while (victim.canReadLine())
            lines.append(victim.readLine().trimmed());
    }
    return Answer{lines[0], lines[1] == "k"};
}

void startVictim(QProcess &victim, const QString &dir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(victimVariable), dir);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    victim.setProcessEnvironment(env);
    victim.setProcessChannelMode(QProcess::ForwardedErrorChannel);   // sanitizer reports
    victim.start(QCoreApplication::applicationFilePath(), {});
}

// Waits for the line "d" from the victim.
bool waitForDone(QProcess &victim)
{
    while (!victim.canReadLine()) {
        if (!victim.waitForReadyRead(120000))
            return false;
    }
    return victim.readLine().trimmed() == "d";
}
} // namespace

class TestBookmarkDurability : public QObject {
    Q_OBJECT
private slots:
    void processesAddingAtOnceKeepEveryBookmark()
    {
        QTemporaryDir dir;
        constexpr int kProcesses = 8;
        constexpr int kAddsEach = 2;
        std::array<QProcess, kProcesses> victims;
        for (QProcess &victim : victims)
            startVictim(victim, dir.path());
        // Each round starts the adds of all processes as closely together as it can.
        QSet<QString> expected;
        for (int add = 1; add <= kAddsEach; ++add) {
            for (int v = 0; v < kProcesses; ++v) {
                victims[v].write("a" + QByteArray::number(100 * v + add) + "\n");
                expected.insert(documentFor(100 * v + add));
            }
            for (QProcess &victim : victims)
                QVERIFY(victim.waitForBytesWritten());
            for (QProcess &victim : victims)
                QVERIFY(waitForDone(victim));
        }
        for (QProcess &victim : victims) {
            victim.closeWriteChannel();
            QVERIFY(victim.waitForFinished(120000));
        }

        const QString file = BookmarkStore::filePath(dir.path());
        QCOMPARE(storeProblem(file), QString());
        QSet<QString> stored;
        for (const BookmarkStore::Bookmark &bookmark : BookmarkStore::read(file))
            stored.insert(bookmark.path);
        QCOMPARE(stored, expected);
    }

    void killsNeverBreakTheStore()
    {
        QTemporaryDir dir;
        const QString file = BookmarkStore::filePath(dir.path());
        QProcess victim;
        startVictim(victim, dir.path());
        QVERIFY(victim.waitForStarted());

        const auto measured = request(victim, "m");
        QVERIFY(measured && !measured->killed);
        const qint64 dearestMicros = measured->lastReport.toLongLong();
        QVERIFY(dearestMicros > 0);

        QRandomGenerator random(20261207);
        QByteArray lastFingerprint = fingerprint(file);
        int afterAChange = 0;
        int beforeReplacing = 0;   // inside an operation, its store not yet replaced
        int afterReplacing = 0;    // inside an operation, its store already replaced
        for (int round = 0; round < kRounds; ++round) {
            const qint64 killAfter = qint64(random.bounded(double(kDearestPerKill * dearestMicros)));
            const auto answer = request(victim, QByteArray::number(killAfter));
            QVERIFY2(answer && answer->killed,
                     qPrintable(QStringLiteral("round %1: the worker was not killed").arg(round)));

            const QString problem = storeProblem(file);
            QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("round %1: %2").arg(round).arg(problem)));
            const QByteArray now = fingerprint(file);
            afterAChange += now != lastFingerprint ? 1 : 0;
            lastFingerprint = now;
            if (answer->lastReport.startsWith('b'))
                ++(answer->lastReport.mid(1) == now ? beforeReplacing : afterReplacing);
        }
        victim.closeWriteChannel();
        QVERIFY(victim.waitForFinished(120000));
        qInfo("dearest operation: %lld us of CPU; of %d kills, %d came inside an operation before "
              "its store was replaced, %d after; %d after a change to bk.ini",
              dearestMicros, kRounds, beforeReplacing, afterReplacing, afterAChange);
        // Kills must fall inside the work, on both sides of the replacement, and
        // often enough after the worker got past a write.
        QVERIFY2(beforeReplacing + afterReplacing > kRounds / 2, "kills outside the operations");
        QVERIFY2(beforeReplacing > 0 && afterReplacing > 0, "kills on one side of the replacement only");
        QVERIFY2(afterAChange > kRounds / 4, qPrintable(QStringLiteral("only %1 changes").arg(afterAChange)));
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
