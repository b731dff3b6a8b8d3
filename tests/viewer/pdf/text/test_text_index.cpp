// Text extraction from fixture PDFs and the background index: what it extracts, how it
// reports progress, and that closing or reopening while it works is safe.

#include "ScriptedModalUi.h"
#include "Fixtures.h"
#include "viewer/pdf/text/TextDocument.h"
#include "viewer/pdf/text/TextIndex.h"
#include "WaitedSearch.h"

#include <QFile>
#include <QSignalSpy>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString allText(const PageText &page)
{
    return page.textOf({0, page.charCount()}, PageText::LineJoin::Newline);
}

} // namespace

class TextIndexTest : public QObject {
    Q_OBJECT
private:
    Fixtures m_fx;
    QString m_known;

private slots:
    void initTestCase()
    {
        m_known = m_fx.write("known.pdf", knownTextDocument());
    }

    void extractsLatinAndChineseTextWithBoxes()
    {
        TextDocument::OpenResult result;
        auto doc = TextDocument::open(m_known, "", "", &result);
        QVERIFY(doc);
        QCOMPARE(doc->pageCount(), 3);

        const std::optional<PageText> first = doc->extractPage(0, nullptr);
        QVERIFY(first);
        QCOMPARE(allText(*first), QStringLiteral("Hello Vellumo reader\n第一页的中文内容"));
        QCOMPARE(first->lines.size(), size_t(2));
        QCOMPARE(first->size, QSizeF(595, 842));
        // Boxes are in page space, top-down: the first line starts at the 72 pt margin.
        const QRectF h = first->boxes[0].rect();
        QVERIFY2(qAbs(h.left() - 72) < 1, qPrintable(QString::number(h.left())));
        QVERIFY(h.top() > 60 && h.bottom() < 100);
        QVERIFY(h.height() > 10 && h.height() < 20);
        // The second line lies wholly below the first.
        const QRectF chinese = first->boxes[size_t(first->lines[1].first)].rect();
        QVERIFY(chinese.top() >= h.bottom() - 1);

        const std::optional<PageText> third = doc->extractPage(2, nullptr);
        QVERIFY(third);
        QCOMPARE(allText(*third), QStringLiteral("ＰＤＦ version ２０２６\nhello again"));
        QVERIFY(!doc->extractPage(3, nullptr));
    }

    void readsAPdfWhateverItsName()
    {
        // The viewer opens any file as a PDF; the text must come from the same reading.
        const QString path = m_fx.write("saved-page.html", knownTextDocument());
        TextDocument::OpenResult result;
        const auto doc = TextDocument::open(path, "", "", &result);
        QVERIFY(doc);
        QCOMPARE(doc->pageCount(), 3);
        const std::optional<PageText> first = doc->extractPage(0, nullptr);
        QVERIFY(first);
        QCOMPARE(allText(*first), QStringLiteral("Hello Vellumo reader\n第一页的中文内容"));
    }

    void opensWithEitherPasswordOnly()
    {
        SampleDocument locked = knownTextDocument();
        locked.userPassword = "user-pw";
        locked.ownerPassword = "owner-pw";
        const QString path = m_fx.write("locked.pdf", locked);
        TextDocument::OpenResult result;
        QVERIFY(!TextDocument::open(path, "", "", &result));
        QCOMPARE(result, TextDocument::OpenResult::WrongPassword);
        QVERIFY(TextDocument::open(path, "user-pw", "", &result));
        QVERIFY(TextDocument::open(path, "wrong", "owner-pw", &result));
        QCOMPARE(result, TextDocument::OpenResult::Opened);
    }

    void unreadableFileGivesAnEmptyCompleteIndex()
    {
        const QString path = m_fx.bytes("not.pdf", "this is not a PDF at all");
        TextDocument::OpenResult result;
        QVERIFY(!TextDocument::open(path, "", "", &result));
        QVERIFY(!TextDocument::open(m_fx.path("missing.pdf"), "", "", &result));
        QCOMPARE(result, TextDocument::OpenResult::Failed);

        TextIndex index;
        QSignalSpy completed(&index, &TextIndex::completed);
        index.start(FileVersion::read(path), "", "");
        QTRY_COMPARE(completed.size(), 1);
        QVERIFY(index.isComplete());
        QCOMPARE(index.pageCount(), 0);
    }

    void publishesEveryPageWithProgress()
    {
        TextIndex index;
        QVERIFY(!index.isComplete());
        QSignalSpy progress(&index, &TextIndex::progressChanged);
        QSignalSpy completed(&index, &TextIndex::completed);
        index.start(FileVersion::read(m_known), "", "", 1);
        QTRY_COMPARE(completed.size(), 1);
        QVERIFY(index.isComplete());
        QCOMPARE(progress.size(), 4); // 0 of 3, then each page
        QCOMPARE(progress.last(), (QVariantList{3, 3}));
        QCOMPARE(allText(index.page(1)->text.expand()),
                 QStringLiteral("The quick brown fox\n这是一个中文\n文档的例子"));
        QVERIFY(index.memoryBytes() > 0);
        index.stop();
        QVERIFY(!index.page(1));
        QCOMPARE(index.pageCount(), -1);
    }

    void searchOnTheRealIndexWhileItIsBuilt()
    {
        const QString path = m_fx.write("heavy60.pdf", SampleDocument::textHeavy(60));
        TextIndex index;
        ScriptedModalUi ui;
        WaitedSearch search(index, ui);
        index.start(FileVersion::read(path), "", "");
        // Asked at once: whatever is not ready is waited for, and the answers are complete.
        QCOMPARE(search.searchAll(QStringLiteral("中文文本渲染")).total, size_t(60));
        const std::optional<SearchHit> hit = search.findText(QStringLiteral("Page 60 of 60"), 0);
        QVERIFY(hit);
        QCOMPARE(hit->page, 59);
        QVERIFY(index.isComplete());

        index.start(FileVersion::read(m_known), "", "");
        search.reset();
        const std::optional<SearchHit> phrase = search.findText(QStringLiteral("中文文档"), 0);
        QVERIFY(phrase);
        QCOMPARE(phrase->page, 1);
        // The boxes that draw the hit come with the page's text extracted again.
        QSignalSpy ready(&index, &TextIndex::pageTextReady);
        QVERIFY(!index.pageText(1));
        QTRY_COMPARE(ready.size(), 1);
        QCOMPARE(ready[0][0].toInt(), 1);
        QCOMPARE(index.pageText(1)->rectsFor(phrase->match.chars).size(), size_t(2));
        QCOMPARE(search.searchAll("pdf version 2026").total, size_t(1));
        QCOMPARE(search.searchAll("HELLO").total, size_t(2));
    }

    // Pages past the index's memory bound keep no text, and a search says it did not
    // search all of it rather than that the text is not there.
    void pagesPastTheMemoryBoundAreReportedAsNotSearched()
    {
        TextIndex index;
        index.setMaxBytes(1);
        ScriptedModalUi ui;
        WaitedSearch search(index, ui);
        index.start(FileVersion::read(m_known), "", "");
        QVERIFY(!search.findText("again", 0));
        QVERIFY(search.lastOutcome().coveredTruncated);
        QCOMPARE(search.searchAll("again").total, size_t(0));
        QVERIFY(search.lastOutcome().coveredTruncated);
    }

    void stoppingWhileExtractingIsSafe()
    {
        const QString path = m_fx.write("heavy150.pdf", SampleDocument::textHeavy(150));
        TextIndex index;
        QSignalSpy progress(&index, &TextIndex::progressChanged);
        index.start(FileVersion::read(path), "", "");
        QTRY_VERIFY(!progress.isEmpty() && progress.last().at(0).toInt() >= 2);
        index.stop();
        QVERIFY(!index.page(0)); // the pages are forgotten
        // Signals the stopped run had queued are dropped, and once stop() returns
        // the worker posts no more.
        const int seen = progress.size();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(progress.size(), seen);

        // Reopening at once, and destroying a running index.
        index.start(FileVersion::read(path), "", "");
        index.start(FileVersion::read(m_known), "", "");
        QTRY_VERIFY(index.isComplete());
        QCOMPARE(index.pageCount(), 3);
        auto running = std::make_unique<TextIndex>();
        running->start(FileVersion::read(path), "", "");
        running.reset();
    }

    // The index reads the version the viewer read, never the path: a pipe
    // nobody writes to or an endless device is no version at all, so the index
    // neither waits for it nor fills memory with it, and ends at once, empty.
    void whatTheViewerRefusesIsNeverIndexed()
    {
        const QByteArray pipe = QFile::encodeName(m_fx.path("hung.pdf"));
        QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
        for (const QString &path : {QFile::decodeName(pipe), QStringLiteral("/dev/zero")}) {
            QVERIFY(!FileVersion::read(path));
            TextDocument::OpenResult result;
            QVERIFY(!TextDocument::open(path, "", "", &result));
            TextIndex index;
            index.start(FileVersion::read(path), "", "");
            QTRY_VERIFY_WITH_TIMEOUT(index.isComplete(), 2000);
            QCOMPARE(index.pageCount(), 0);
            QCOMPARE(index.memoryBytes(), size_t(0));
        }
    }
};

QTEST_GUILESS_MAIN(TextIndexTest)
#include "test_text_index.moc"
