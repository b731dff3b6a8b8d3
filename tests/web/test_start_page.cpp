// The start-page pane against a loopback server.

#include "LoopbackHttpServer.h"
#include "RecordingOpener.h"

#include "web/HtmlText.h"
#include "web/ImageBudget.h"
#include "web/StartPageHtml.h"
#include "web/StartPagePane.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>

#include <algorithm>

using Delivery = LoopbackHttpServer::Delivery;
using namespace std::chrono_literals;

namespace {
// One bit a pixel (a picture of many megapixels in a few kilobytes), unless
// in colour: only colour pictures can be read reduced.
QByteArray blankPng(int width, int height, QImage::Format format = QImage::Format_Mono,
                    QColor colour = Qt::black)
{
    QImage image(width, height, format);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Waits for the pane to put a page on screen; returns whether it was the fetched one.
bool waitForPage(QSignalSpy &spy, int timeoutMs = 15000)
{
    if (spy.isEmpty() && !spy.wait(timeoutMs))
        return false;
    return spy.takeFirst().at(0).toBool();
}

// How deep tables and lists are nested in the laid-out page.
int tableNesting(QTextFrame *frame)
{
    int deepest = 0;
    for (QTextFrame *child : frame->childFrames())
        deepest = std::max(deepest, 1 + tableNesting(child));
    return deepest;
}

// Cells of all tables, spans counted.
int tableCells(QTextFrame *frame)
{
    int cells = 0;
    if (auto *table = qobject_cast<QTextTable *>(frame))
        cells = table->rows() * table->columns();
    for (QTextFrame *child : frame->childFrames())
        cells += tableCells(child);
    return cells;
}

int listNesting(const QTextDocument &document)
{
    int deepest = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (QTextList *list = block.textList())
            deepest = std::max(deepest, list->format().indent());
    return deepest;
}

QByteArray repeated(const QByteArray &piece, qsizetype totalBytes)
{
    return piece.repeated(totalBytes / piece.size());
}

struct ServedImage {
    QString src;             // as the page names it; "FOREIGN" stands for another
                             // site, "LOCAL" for a picture on disk
    QByteArray bytes;        // served under src's path, by whichever site it names
    qint64 leastPixels;      // decoded at least
    qint64 mostPixels;       // 0: nothing may be decoded
};

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
    void imagesAreDecodedFromThePageOwnSiteWithinThePixelBudget_data();
    void imagesAreDecodedFromThePageOwnSiteWithinThePixelBudget();
    void clickedLinksGoToTheBrowserOnlyForWebAddresses();
    void onlyWhitelistedMarkupReachesTheLayout();
    void hostileNestingLaysOutBoundedAndQuickly_data();
    void hostileNestingLaysOutBoundedAndQuickly();
    void runawayAnswersAreCutOff_data();
    void runawayAnswersAreCutOff();
};

Q_DECLARE_METATYPE(QList<ServedImage>)

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

void TestStartPage::imagesAreDecodedFromThePageOwnSiteWithinThePixelBudget_data()
{
    QTest::addColumn<QList<ServedImage>>("images");
    QTest::addColumn<qint64>("pagePixels"); // decoded, all images together

    const QByteArray small = blankPng(4, 3, QImage::Format_RGB32, Qt::red);
    const QByteArray huge = blankPng(6000, 6000);
    QTest::newRow("small, from the page's own site")
        << QList<ServedImage>{{"/img/logo.png", small, 12, 12}} << qint64(12);
    QTest::newRow("on disk: never read") << QList<ServedImage>{{"LOCAL", {}, 0, 0}} << qint64(0);
    // Halved until it fits, so never below a quarter of the budget.
    QTest::newRow("larger than the budget: read reduced")
        << QList<ServedImage>{{"/img/big.png", blankPng(2400, 2400, QImage::Format_RGB32),
                               imageLimits::imagePixels / 4, imageLimits::imagePixels}}
        << imageLimits::imagePixels;
    QTest::newRow("far larger: not decoded")
        << QList<ServedImage>{{"/img/huge.png", huge, 0, 0}} << qint64(0);
    QTest::newRow("another site: not even fetched")
        << QList<ServedImage>{{"FOREIGN/img/logo.png", small, 0, 0}} << qint64(0);
    QTest::newRow("inline and far larger: not decoded")
        << QList<ServedImage>{{"data:image/png;base64," + huge.toBase64(), {}, 0, 0}} << qint64(0);
    QTest::newRow("inline and small: decoded")
        << QList<ServedImage>{{"data:image/png;base64," + small.toBase64(), {}, 12, 12}} << qint64(12);
    // Plain text decodes to as many bytes as it has characters: past the
    // inline limit, though its address is well within the page's.
    const QString longGraymap = "data:image/x-portable-graymap,P2%201%201%20255%20"
                                + QString(imageLimits::dataBytes, QLatin1Char('0')) + "7";
    QTest::newRow("inline, longer than the limit once decoded: not decoded")
        << QList<ServedImage>{{longGraymap, {}, 0, 0}} << qint64(0);
    QList<ServedImage> many;
    for (int i = 0; i < 5; ++i)
        many.append({QStringLiteral("/img/%1.png").arg(i), blankPng(2000, 2000), 0, 2000 * 2000});
    QTest::newRow("many within the budget each: the page's budget holds")
        << many << imageLimits::pagePixels;
}

void TestStartPage::imagesAreDecodedFromThePageOwnSiteWithinThePixelBudget()
{
    QFETCH(QList<ServedImage>, images);
    QFETCH(qint64, pagePixels);
    LoopbackHttpServer server, foreign;
    QTemporaryDir dir;
    const QString localPng = dir.filePath("local.png");
    QImage(2, 2, QImage::Format_RGB32).save(localPng);
    QByteArray page = "<p>图片</p>";
    int ownFetches = 0;
    for (ServedImage &image : images) {
        const bool isForeign = image.src.startsWith("FOREIGN");
        image.src.replace("FOREIGN", foreign.base());
        image.src.replace("LOCAL", QUrl::fromLocalFile(localPng).toString());
        if (!image.bytes.isEmpty()) {
            const QByteArray path = QUrl(image.src).path().toUtf8();
            (isForeign ? foreign : server).pages[path] = {image.bytes, "image/png", {}, 200};
            ownFetches += !isForeign;
        }
        page += "<img src=\"" + image.src.toUtf8() + "\">";
    }
    server.pages["/start/"].body = page;

    StartPagePane pane(QStringLiteral("Vellumo V3.1"));
    pane.resize(400, 300);
    pane.show();
    QSignalSpy loaded(&pane, &StartPagePane::loadFinished);
    pane.Navigate(server.base() + "/start/");
    QVERIFY(waitForPage(loaded));
    pane.document()->documentLayout()->documentSize(); // asks for every image
    QTRY_COMPARE_WITH_TIMEOUT(server.requests.size(), 1 + ownFetches, 15000);
    QTRY_VERIFY_WITH_TIMEOUT(!pane.imagesPending(), 15000);

    qint64 decoded = 0;
    int tallest = 0;
    for (const ServedImage &image : images) {
        const QImage shown =
            pane.document()->resource(QTextDocument::ImageResource, QUrl(image.src)).value<QImage>();
        const qint64 pixels = qint64(shown.width()) * shown.height();
        QVERIFY2(pixels >= image.leastPixels && pixels <= image.mostPixels,
                 qPrintable(QStringLiteral("%1: %2 pixels").arg(image.src.left(60)).arg(pixels)));
        decoded += pixels;
        tallest = std::max(tallest, shown.height());
    }
    // The page is laid out again with the images that arrived.
    QTRY_VERIFY(pane.document()->size().height() >= tallest);
    QVERIFY(decoded <= pagePixels);
    QVERIFY(pagePixels == 0 || decoded > 0);
    QVERIFY(foreign.requests.isEmpty());
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

void TestStartPage::onlyWhitelistedMarkupReachesTheLayout()
{
    LoopbackHttpServer server;
    server.pages["/start/"].body =
        "<html><head><title>标题</title><style>p { font-size: 200pt }</style>"
        "<script>document.write('脚本')</script></head><body>"
        "<p style=\"font-size: 300pt\">正文</p>"
        "<iframe src=\"/frame/\">框架</iframe><svg><text>矢量</text></svg>"
        "<p>&lt;img src=&quot;/dev/zero&quot;&gt;</p></body></html>";

    StartPagePane pane(QStringLiteral("Vellumo V3.1"));
    QSignalSpy loaded(&pane, &StartPagePane::loadFinished);
    pane.Navigate(server.base() + "/start/");
    QVERIFY(waitForPage(loaded));

    const QString text = pane.toPlainText();
    QVERIFY(text.contains(QStringLiteral("正文")));
    QVERIFY(text.contains(QStringLiteral("<img src=\"/dev/zero\">"))); // escaped text stays text
    for (const char *hidden : {"标题", "脚本", "框架", "矢量"})
        QVERIFY2(!text.contains(QString::fromUtf8(hidden)), hidden);
    const QString laidOut = pane.toHtml();
    QVERIFY(!laidOut.contains("200pt"));
    QVERIFY(!laidOut.contains("300pt"));
    QCOMPARE(server.targets(), QStringList{"/start/"});
}

void TestStartPage::hostileNestingLaysOutBoundedAndQuickly_data()
{
    QTest::addColumn<QByteArray>("page");
    constexpr qsizetype size = 100 * 1024;
    QTest::newRow("nested tables") << repeated("<table><tr><td>格", size);
    QTest::newRow("nested lists") << repeated("<ul><li>项<ol><li>项", size);
    QTest::newRow("nested divs and quotes") << repeated("<div><blockquote>段", size);
    QTest::newRow("wide and long table")
        << "<table>" + repeated("<tr>" + QByteArray("<td colspan=99>格").repeated(40), size);
    QTest::newRow("full rows in many tables")
        << repeated("<table>" + QByteArray("<tr>" + QByteArray("<td>格</td>").repeated(24)).repeated(8)
                        + "</table>",
                    size);
}

void TestStartPage::hostileNestingLaysOutBoundedAndQuickly()
{
    QFETCH(QByteArray, page);
    LoopbackHttpServer server;
    server.pages["/start/"].body = page;

    StartPagePane pane(QStringLiteral("Vellumo V3.1"));
    pane.resize(600, 400);
    QSignalSpy loaded(&pane, &StartPagePane::loadFinished);
    QElapsedTimer clock;
    clock.start();
    pane.Navigate(server.base() + "/start/");
    QVERIFY(waitForPage(loaded));
    pane.document()->documentLayout()->documentSize();
    // Only a hang breaks this bound; Qt alone spends minutes on such pages.
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));

    QTextDocument *document = pane.document();
    QVERIFY(tableNesting(document->rootFrame()) <= startPageLimits::tableNesting);
    QVERIFY(tableCells(document->rootFrame()) <= startPageLimits::tableCells);
    QVERIFY(listNesting(*document) <= startPageLimits::listNesting);
    QVERIFY(document->blockCount() <= startPageLimits::elements);
    QVERIFY(document->characterCount() <= startPageLimits::textCharacters + 1);
    QVERIFY(!pane.toPlainText().trimmed().isEmpty());
}

void TestStartPage::runawayAnswersAreCutOff_data()
{
    QTest::addColumn<Delivery>("delivery");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("deadlineMs");
    // Limit and deadline are each the only thing that can end these in time:
    // the server never closes, and the silence timeout is ten seconds.
    QTest::newRow("endless page, cut at the size limit")
        << Delivery::Endless << QByteArray(64 * 1024, 'x') << 60000;
    QTest::newRow("5 MiB at once, then silence, cut at the size limit")
        << Delivery::BurstThenStall << QByteArray(5 * 1024 * 1024, 'x') << 60000;
    QTest::newRow("trickling page, cut by the deadline")
        << Delivery::Trickle << QByteArray("<p>slow</p>") << 1000;
}

void TestStartPage::runawayAnswersAreCutOff()
{
    QFETCH(Delivery, delivery);
    QFETCH(QByteArray, body);
    QFETCH(int, deadlineMs);
    LoopbackHttpServer server;
    server.pages["/start/"].body = body;
    server.pages["/start/"].delivery = delivery;

    StartPagePane pane(QStringLiteral("Vellumo V3.1"));
    pane.setRequestDeadline(std::chrono::milliseconds(deadlineMs));
    QSignalSpy loaded(&pane, &StartPagePane::loadFinished);
    pane.Navigate(server.base() + "/start/");
    // Generous: a second is plenty, but the machine is shared.
    QVERIFY(loaded.wait(5000));
    QCOMPARE(loaded.first().at(0).toBool(), false);
    QVERIFY(pane.toPlainText().contains(QStringLiteral("无法加载起始页")));
    QTRY_COMPARE_WITH_TIMEOUT(server.clientsGone, 1, 5000);
    QVERIFY(server.bodyBytesSent < 64 * 1024 * 1024); // what the kernel's buffers hold at most
}

QTEST_MAIN(TestStartPage)
#include "test_start_page.moc"
