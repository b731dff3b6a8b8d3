// The start-page pane and the hidden counting window, against a loopback server.

#include "LoopbackHttpServer.h"
#include "RecordingOpener.h"

#include "web/HtmlText.h"
#include "web/StartPagePane.h"
#include "web/frmCount.h"

#include <QBuffer>
#include <QImage>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

namespace {
QByteArray pngBytes(const QColor &colour)
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Waits for the pane to put a page on screen; returns whether it was the fetched one.
bool waitForPage(QSignalSpy &spy)
{
    if (spy.isEmpty() && !spy.wait(15000))
        return false;
    return spy.takeFirst().at(0).toBool();
}

} // namespace

class TestStartPage : public QObject {
    Q_OBJECT
private slots:
    void showsTheServedPageAfterOnePlainRequest();
    void showsOwnErrorPageWhenTheServiceCannotBeReached_data();
    void showsOwnErrorPageWhenTheServiceCannotBeReached();
    void keepsNoCookiesBetweenRequests();
    void decodesTheDeclaredCharacterSet_data();
    void decodesTheDeclaredCharacterSet();
    void loadsImagesFromTheWebButNeverFromDisk();
    void clickedLinksGoToTheBrowserOnlyForWebAddresses();
    void countWindowRequestsTheCountingPageOnceAndStaysHidden();
};

void TestStartPage::showsTheServedPageAfterOnePlainRequest()
{
    LoopbackHttpServer server;
    QVERIFY(server.isListening());
    server.pages["/start/"].body = "<html><body><p>欢迎使用阅读器</p></body></html>";

    StartPagePane pane(QStringLiteral("Vellumo V3.1"));
    QSignalSpy loaded(&pane, &StartPagePane::loadFinished);
    pane.Navigate(server.base() + "/start/");
    QCOMPARE(pane.address(), server.base() + "/start/");
    QVERIFY(waitForPage(loaded));

    QVERIFY(pane.toPlainText().contains(QStringLiteral("欢迎使用阅读器")));
    QCOMPARE(server.targets(), QStringList{"/start/"});
    const auto &request = server.requests.first();
    QCOMPARE(request.method, QByteArray("GET"));
    QVERIFY(!request.headers.contains("cookie"));
}

void TestStartPage::showsOwnErrorPageWhenTheServiceCannotBeReached_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("useServer");
    QTest::addColumn<QByteArray>("servedStartPage"); // empty: none, so 404
    QTest::newRow("nothing listening")
        << LoopbackHttpServer::unreachableBase() + "/start/" << false << QByteArray();
    QTest::newRow("page missing (404)") << QString("/start/") << true << QByteArray();
    QTest::newRow("runaway page") << QString("/start/") << true
                                  << QByteArray(4 * 1024 * 1024 + 1, 'x');
    QTest::newRow("not a web address")
        << QString("vellumo.example/start/") << false << QByteArray();
    QTest::newRow("local file") << QString("file:///etc/hostname") << false << QByteArray();
}

void TestStartPage::showsOwnErrorPageWhenTheServiceCannotBeReached()
{
    QFETCH(QString, address);
    QFETCH(bool, useServer);
    QFETCH(QByteArray, servedStartPage);
    LoopbackHttpServer server;
    if (!servedStartPage.isEmpty())
        server.pages["/start/"].body = servedStartPage;
    if (useServer)
        address.prepend(server.base());

    StartPagePane pane(QStringLiteral("Vellumo V3.1"));
    QSignalSpy loaded(&pane, &StartPagePane::loadFinished);
    pane.Navigate(address);
    QVERIFY(!waitForPage(loaded));

    const QString text = pane.toPlainText();
    QVERIFY(text.contains(QStringLiteral("Vellumo")));
    QVERIFY(text.contains(QStringLiteral("V3.1")));
    QVERIFY(text.contains(QStringLiteral("无法加载起始页")));
    QVERIFY(!text.contains(QStringLiteral("not here")));
}

void TestStartPage::keepsNoCookiesBetweenRequests()
{
    LoopbackHttpServer server;
    server.pages["/start/"].body = "<p>x</p>";
    server.pages["/start/"].extraHeaders = "Set-Cookie: visitor=42; Path=/\r\n";

    StartPagePane pane(QStringLiteral("Vellumo V3.1"));
    QSignalSpy loaded(&pane, &StartPagePane::loadFinished);
    pane.Navigate(server.base() + "/start/");
    QVERIFY(waitForPage(loaded));
    pane.Navigate(server.base() + "/start/");
    QVERIFY(waitForPage(loaded));

    QCOMPARE(server.requests.size(), 2);
    QVERIFY(!server.requests.at(1).headers.contains("cookie"));
}

void TestStartPage::decodesTheDeclaredCharacterSet_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("contentType");

    const QString text = QStringLiteral("简体中文页面");
    QStringEncoder gbk("GBK");
    const QByteArray gbkText = gbk(text);
    const QByteArray utf8Text = text.toUtf8();

    QTest::newRow("header charset")
        << "<p>" + gbkText + "</p>" << QByteArray("text/html; charset=GBK");
    QTest::newRow("meta charset") << "<meta charset=\"gb2312\"><p>" + gbkText + "</p>"
                                  << QByteArray("text/html");
    QTest::newRow("header beats meta") << "<meta charset=\"gbk\"><p>" + utf8Text + "</p>"
                                       << QByteArray("text/html;charset=utf-8");
    QTest::newRow("none declared") << "<p>" + utf8Text + "</p>" << QByteArray("text/html");
    QTest::newRow("unknown name") << "<p>" + utf8Text + "</p>"
                                  << QByteArray("text/html; charset=no-such-set");
    QTest::newRow("byte order mark") << "\xEF\xBB\xBF<p>" + utf8Text + "</p>"
                                     << QByteArray("text/html; charset=GBK");
}

void TestStartPage::decodesTheDeclaredCharacterSet()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, contentType);
    const QString html = decodeHtml(body, contentType);
    QVERIFY2(html.contains(QStringLiteral("简体中文页面")), qPrintable(html));
    QVERIFY(!html.startsWith(QChar(0xFEFF)));
}

void TestStartPage::loadsImagesFromTheWebButNeverFromDisk()
{
    QTemporaryDir dir;
    const QString localPng = dir.filePath("local.png");
    QImage(2, 2, QImage::Format_RGB32).save(localPng);
    const QUrl localUrl = QUrl::fromLocalFile(localPng);

    LoopbackHttpServer server;
    server.pages["/start/"].body = "<p>logo</p><img src=\"/img/logo.png\"><img src=\""
                                   + localUrl.toEncoded() + "\">";
    server.pages["/img/logo.png"] = {pngBytes(Qt::red), "image/png", {}, 200};

    StartPagePane pane(QStringLiteral("Vellumo V3.1"));
    pane.resize(400, 300);
    pane.show();
    QSignalSpy loaded(&pane, &StartPagePane::loadFinished);
    pane.Navigate(server.base() + "/start/");
    QVERIFY(waitForPage(loaded));

    const auto logo = [&pane] {
        return pane.document()
            ->resource(QTextDocument::ImageResource, QUrl("/img/logo.png"))
            .value<QImage>();
    };
    QTRY_VERIFY_WITH_TIMEOUT(!logo().isNull(), 15000);
    QCOMPARE(logo().size(), QSize(4, 3));
    QCOMPARE(server.targets().count("/img/logo.png"), 1);
    QVERIFY(pane.document()
                ->resource(QTextDocument::ImageResource, localUrl)
                .value<QImage>()
                .isNull());
}

void TestStartPage::clickedLinksGoToTheBrowserOnlyForWebAddresses()
{
    LoopbackHttpServer server;
    server.pages["/start/"].body =
        "<p><a href=\"/news/\">新闻</a></p>"
        "<p><a href=\"https://other.example/page?id=1\">外部</a></p>"
        "<p><a href=\"file:///etc/passwd\">本地</a></p>"
        "<p><a href=\"javascript:alert(1)\">脚本</a></p>"
        "<p><a href=\"#top\">顶部</a></p>";

    RecordingOpener opener;
    StartPagePane pane(QStringLiteral("Vellumo V3.1"));
    pane.resize(400, 300);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    QSignalSpy loaded(&pane, &StartPagePane::loadFinished);
    pane.Navigate(server.base() + "/start/");
    QVERIFY(waitForPage(loaded));

    for (const QString &caption : {"新闻", "外部", "本地", "脚本", "顶部"}) {
        const QTextCursor found = pane.document()->find(caption);
        QVERIFY2(!found.isNull(), qPrintable(caption));
        QTextCursor inside(pane.document());
        inside.setPosition(found.selectionStart() + 1);
        const QPoint at = pane.cursorRect(inside).center();
        QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, at);
    }

    QCOMPARE(opener.opened,
             (QList<QUrl>{QUrl(server.base() + "/news/"),
                          QUrl("https://other.example/page?id=1")}));
    QCOMPARE(server.targets(), QStringList{"/start/"}); // the pane itself never follows a link
}

void TestStartPage::countWindowRequestsTheCountingPageOnceAndStaysHidden()
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

QTEST_MAIN(TestStartPage)
#include "test_start_page.moc"
