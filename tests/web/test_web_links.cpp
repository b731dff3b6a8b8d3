// The web services on their own (the two start-up requests, in order, once) and
// the window's links to them: start-up with a document, the start-page pane over
// the viewer, the Help items, the About window and the counting window's release
// on close; and what the counting window asks and reads.

#include "LoopbackHttpServer.h"
#include "RecordingOpener.h"
#include "ShellFixture.h"

#include "app/frmPdf.h"
#include "web/StartPagePane.h"
#include "web/frmAbout.h"
#include "web/WebServices.h"
#include "web/frmCount.h"

#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
// A window that has not loaded yet, on the given web service.
struct Window : ShellFixture {
    explicit Window(const QString &base, const QString &commandLine = QString())
        : ShellFixture(commandLine, false, base)
    {
    }
};

LoopbackHttpServer *servingBothPages(LoopbackHttpServer &server)
{
    server.pages["/count/"].body = "<p>counted</p>";
    server.pages["/start/"].body = "<html><body><h1>阅读从这里开始</h1></body></html>";
    return &server;
}

// Both start-up requests have arrived, and no third one follows.
void waitForStartRequests(LoopbackHttpServer &server)
{
    QTRY_VERIFY_WITH_TIMEOUT(server.requests.size() >= 2, 15000);
    QTest::qWait(200);
}

// Both start-up requests went out in order, as plain GETs, and the pane shows the start page.
void checkStartRequests(LoopbackHttpServer &server, const StartPagePane &pane)
{
    QCOMPARE(server.targets(), (QStringList{"/count/", "/start/"}));
    for (const auto &request : server.requests) {
        QCOMPARE(request.method, QByteArray("GET"));
        QVERIFY(!request.headers.contains("cookie"));
    }
    QCOMPARE(pane.address(), server.base() + "/start/");
}
} // namespace

class TestWebLinks : public QObject {
    Q_OBJECT
private slots:
    void startMakesOneCountingThenOneStartRequestOnce();
    void startUpWithADocumentMakesTheSameTwoRequests();
    void startPageCoversTheViewerUntilADocumentOpens();
    void unreachableServiceShowsTheErrorPageWithoutAMessage();
    void helpItemsOpenTheirPagesEachTimeChosen();
    void linksFollowedInTheDocumentOpenInTheBrowser();
    void aboutShowsAFreshWindowEachTime();
    void unloadReleasesTheCountingWindow_data();
    void unloadReleasesTheCountingWindow();
    void countWindowRequestsTheCountingPageOnceAndStaysHidden();
    void countWindowReadsNoneOfAnEndlessAnswer();
};

void TestWebLinks::startMakesOneCountingThenOneStartRequestOnce()
{
    LoopbackHttpServer server;
    servingBothPages(server);
    ScriptedModalUi ui;
    QWidget owner;
    auto *pane = new StartPagePane(QStringLiteral("Vellumo V3.1"), &owner);
    WebServices web(server.base(), ui, &owner);
    web.start(pane);
    web.start(pane); // once a run
    // The start page waits for the ping to leave; asked for at once, it could overtake it.
    QVERIFY(pane->address().isEmpty());
    QVERIFY(web.countWindow());
    QVERIFY(!web.countWindow()->isVisible());
    waitForStartRequests(server);
    checkStartRequests(server, *pane);
    QVERIFY(ui.messages.isEmpty());
}

// With a document on the command line the requests wait for its first page.
void TestWebLinks::startUpWithADocumentMakesTheSameTwoRequests()
{
    LoopbackHttpServer server;
    servingBothPages(server);
    Window w(server.base(), QStringLiteral("/docs/manual.pdf"));
    w.window->Form_Load();
    QVERIFY(control<StartPagePane>(*w.window, "Toweb")->address().isEmpty());
    waitForStartRequests(server);
    checkStartRequests(server, *control<StartPagePane>(*w.window, "Toweb"));
    QCOMPARE(w.viewer->opens.size(), 1);
}

void TestWebLinks::startPageCoversTheViewerUntilADocumentOpens()
{
    LoopbackHttpServer server;
    servingBothPages(server);
    Window w(server.base());
    w.window->show();
    w.window->Form_Load();
    StartPagePane *pane = control<StartPagePane>(*w.window, "Toweb");

    QTRY_VERIFY_WITH_TIMEOUT(pane->toPlainText().contains(QStringLiteral("阅读从这里开始")), 15000);
    QVERIFY(pane->isVisible());
    QCOMPARE(pane->geometry(), control<QWidget>(*w.window, "Pdfc")->geometry());
    QVERIFY(!control<frmCount>(*w.window, "frmCount")->isVisible());

    w.window->openPdf(QStringLiteral("/docs/a.pdf"), QString(), QString());
    QVERIFY(!pane->isVisible());
    w.viewer->documentPath = QStringLiteral("/docs/a.pdf");
    w.window->mnuCf_Click();
    QVERIFY(!pane->isVisible());
}

void TestWebLinks::unreachableServiceShowsTheErrorPageWithoutAMessage()
{
    ScriptedModalUi ui;
    QWidget owner;
    auto *pane = new StartPagePane(QStringLiteral("Vellumo V3.1"), &owner);
    WebServices web(LoopbackHttpServer::unreachableBase(), ui, &owner);
    QSignalSpy loaded(pane, &StartPagePane::loadFinished);
    web.start(pane);

    QVERIFY(loaded.wait(15000));
    QCOMPARE(loaded.first().at(0).toBool(), false);
    QVERIFY(pane->toPlainText().contains(QStringLiteral("无法加载起始页")));
    QVERIFY(ui.messages.isEmpty());
}

void TestWebLinks::helpItemsOpenTheirPagesEachTimeChosen()
{
    const QString base = QStringLiteral("http://service.example");
    RecordingOpener opener;
    Window w(base);
    w.window->show();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));

    QTest::keyClick(w.window.get(), Qt::Key_F1);
    action(*w.window, "mnuNethelp")->trigger();
    action(*w.window, "mnuFankui")->trigger();
    action(*w.window, "mnuJup")->trigger();
    action(*w.window, "mnuJup")->trigger();

    QCOMPARE(opener.opened, (QList<QUrl>{QUrl(base + "/help/"), QUrl(base + "/help/"),
                                         QUrl(base + "/fk/"), QUrl(base + "/newver/"),
                                         QUrl(base + "/newver/")}));
    QVERIFY(w.ui.messages.isEmpty());
}

void TestWebLinks::linksFollowedInTheDocumentOpenInTheBrowser()
{
    RecordingOpener opener;
    Window w(LoopbackHttpServer::unreachableBase());
    emit w.viewer->linkActivated(QUrl("https://example.org/guide"));
    QCOMPARE(opener.opened, QList<QUrl>{QUrl("https://example.org/guide")});
}

void TestWebLinks::aboutShowsAFreshWindowEachTime()
{
    Window w(LoopbackHttpServer::unreachableBase());
    QStringList captions, versions;
    QList<qint64> iconKeys;
    QList<QObject *> owners;
    const auto look = [&](QDialog *dialog) {
        auto *about = qobject_cast<frmAbout *>(dialog);
        QVERIFY(about);
        owners << about->parent();
        captions << about->windowTitle();
        versions << about->lblVer->text();
        iconKeys << about->windowIcon().cacheKey();
    };
    w.ui.dialogActions = {look, look};

    action(*w.window, "mnuAbout")->trigger();
    w.window->Cmdc_Click(9);

    QCOMPARE(w.ui.dialogClasses, (QStringList{"frmAbout", "frmAbout"}));
    QCOMPARE(captions, (QStringList{"关于Vellumo V3.1", "关于Vellumo V3.1"}));
    QCOMPARE(versions, (QStringList{"V3.1", "V3.1"}));
    QVERIFY(!w.window->windowIcon().isNull());
    QCOMPARE(iconKeys, (QList<qint64>{w.window->windowIcon().cacheKey(),
                                      w.window->windowIcon().cacheKey()}));
    QCOMPARE(owners, (QList<QObject *>{nullptr, nullptr}));
}

void TestWebLinks::unloadReleasesTheCountingWindow_data()
{
    QTest::addColumn<bool>("byClosing");
    QTest::newRow("Form_Unload") << false;
    QTest::newRow("window closed") << true;
}

void TestWebLinks::unloadReleasesTheCountingWindow()
{
    QFETCH(bool, byClosing);
    Window w(LoopbackHttpServer::unreachableBase());
    w.window->show();
    w.window->Form_Load();
    QPointer<frmCount> count = control<frmCount>(*w.window, "frmCount");
    QVERIFY(count);

    if (byClosing)
        w.window->close();
    else
        w.window->Form_Unload();

    QVERIFY(count.isNull());
    QVERIFY(w.window->findChild<frmCount *>("frmCount") == nullptr);
}

void TestWebLinks::countWindowRequestsTheCountingPageOnceAndStaysHidden()
{
    LoopbackHttpServer server;
    server.pages["/count/"].body = "<p>counted</p>";

    QWidget owner;
    auto *window = new frmCount(server.base(), &owner);
    QSignalSpy sent(window, &frmCount::pingSent);
    QCOMPARE(window->windowTitle(), QStringLiteral("PDFCount"));
    QTRY_COMPARE_WITH_TIMEOUT(server.requests.size(), 1, 15000);
    QTest::qWait(200); // give a second request the chance to show up
    QCOMPARE(sent.size(), 1);
    QCOMPARE(server.targets(), QStringList{"/count/"});
    QCOMPARE(server.requests.first().method, QByteArray("GET"));
    QVERIFY(!server.requests.first().headers.contains("cookie"));
    QVERIFY(!window->isVisible());
}

void TestWebLinks::countWindowReadsNoneOfAnEndlessAnswer()
{
    // A server that would stream gigabytes: the window hangs up at the headers.
    LoopbackHttpServer server;
    server.pages["/count/"].delivery = LoopbackHttpServer::Delivery::Endless;

    QWidget owner;
    auto *window = new frmCount(server.base(), &owner);
    QSignalSpy sent(window, &frmCount::pingSent);
    QTRY_COMPARE_WITH_TIMEOUT(server.clientsGone, 1, 5000);
    QCOMPARE(sent.size(), 1);
    QCOMPARE(server.targets(), QStringList{"/count/"});
    QVERIFY(server.bodyBytesSent < 64 * 1024 * 1024);
}

QTEST_MAIN(TestWebLinks)
#include "test_web_links.moc"
