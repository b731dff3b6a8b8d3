// Matching rules, on pages built from strings.

#include "PageTextBuilder.h"
#include "viewer/pdf/text/TextMatcher.h"

#include <QtTest>

namespace {

// Texts of every hit of `query` on a page made of `lines`.
QStringList hitsOf(const QStringList &lines, const QString &query)
{
    const PageText page = pageFromLines(lines);
    const NormalizedText norm = normalizePage(page);
    QStringList out;
    for (const TextMatch &m : findAll(norm, normalizeQuery(query)))
        out << page.textOf(m.chars, PageText::LineJoin::Newline);
    return out;
}

} // namespace

class MatcherTest : public QObject {
    Q_OBJECT
private slots:
    void matchesLatinWithoutRegardToCase()
    {
        QCOMPARE(hitsOf({"Vellumo reads PDF; the pdf is read."}, "pDf"),
                 QStringList({"PDF", "pdf"}));
        QCOMPARE(hitsOf({"ÄPFEL und äpfel"}, "äpfel"), QStringList({"ÄPFEL", "äpfel"}));
    }

    void blankRunsAndLineBreaksMatchOneQueryBlank()
    {
        QCOMPARE(hitsOf({"quick   brown fox"}, "quick brown"), QStringList({"quick   brown"}));
        QCOMPARE(hitsOf({"the quick", "brown fox"}, "quick brown"), QStringList({"quick\nbrown"}));
        QCOMPARE(hitsOf({"the quick ", "  brown fox"}, "quick  brown"),
                 QStringList({"quick \n  brown"}));
        // Latin words still need their blank: a line break is not nothing.
        QVERIFY(hitsOf({"the quick", "brown fox"}, "quickbrown").isEmpty());
    }

    void chinesePhraseMatchesAcrossLineBreak()
    {
        QCOMPARE(hitsOf({"这是一个中文", "文档的例子"}, "中文文档"), QStringList({"中文\n文档"}));
        // A blank typed at the break matches too.
        QCOMPARE(hitsOf({"这是一个中文", "文档的例子"}, "中文 文档"), QStringList({"中文\n文档"}));
        // Blanks a PDF puts between Chinese characters do not stop a phrase.
        QCOMPARE(hitsOf({"中 文 文 档"}, "中文文档"), QStringList({"中文文档"}));
        QCOMPARE(hitsOf({"打开", "PDF文件"}, "打开PDF"), QStringList({"打开\nPDF"}));
    }

    void fullWidthAndHalfWidthFormsMatch()
    {
        QCOMPARE(hitsOf({"版本２０２６年，ＰＤＦ格式"}, "2026"), QStringList({"２０２６"}));
        QCOMPARE(hitsOf({"版本２０２６年，ＰＤＦ格式"}, "pdf"), QStringList({"ＰＤＦ"}));
        QCOMPARE(hitsOf({"version 2026"}, "２０２６"), QStringList({"2026"}));
        // Full-width punctuation is left alone.
        QVERIFY(hitsOf({"一，二"}, ",").isEmpty());
    }

    void blanksOnlyQueryMatchesEachBlankRun()
    {
        QCOMPARE(hitsOf({"a  b c", "d"}, " ").size(), 3);
        QCOMPARE(hitsOf({"a  b c", "d"}, "   ").size(), 3);
        QCOMPARE(hitsOf({"a  b"}, " "), QStringList({"  "}));
        QVERIFY(hitsOf({"abc"}, " ").isEmpty());
    }

    void noMatchAndEmptyQuery()
    {
        QVERIFY(hitsOf({"hello world"}, "planet").isEmpty());
        QVERIFY(hitsOf({"hello"}, "hello world").isEmpty());
        QVERIFY(hitsOf({"hello"}, "").isEmpty());
        QVERIFY(hitsOf({}, "x").isEmpty());
    }

    void hitsDoNotOverlapAndFindFirstStartsWhereAsked()
    {
        QCOMPARE(hitsOf({"aaaa"}, "aa").size(), 2);
        const PageText page = pageFromLines({"one two one two"});
        const NormalizedText norm = normalizePage(page);
        const std::u32string q = normalizeQuery("one");
        const auto first = findFirst(norm, q);
        QVERIFY(first);
        QCOMPARE(first->chars, (TextRange{0, 3}));
        const auto second = findFirst(norm, q, first->end);
        QVERIFY(second);
        QCOMPARE(second->chars, (TextRange{8, 11}));
        QVERIFY(!findFirst(norm, q, second->end));
    }

    void hitsMapToOneRectanglePerLinePiece()
    {
        const PageText page = pageFromLines({"the quick", "brown fox"});
        const auto hit = findFirst(normalizePage(page), normalizeQuery("quick brown"));
        QVERIFY(hit);
        const std::vector<QRectF> rects = page.rectsFor(hit->chars);
        QCOMPARE(rects.size(), size_t(2));
        QCOMPARE(rects[0], QRectF(90, 50, 50, 12));  // "quick" on line 1
        QCOMPARE(rects[1], QRectF(50, 70, 50, 12));  // "brown" on line 2
    }
};

QTEST_GUILESS_MAIN(MatcherTest)
#include "test_matcher.moc"
