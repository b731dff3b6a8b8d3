// Matching rules, on pages built from strings.

#include "PageTextBuilder.h"
#include "viewer/pdf/text/FoldingTable.h"
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
    // Each kind of folding, with rows that must stay apart. Hits are listed as printed.
    void foldedFormsMatch_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("hits");
        const QStringList none;

        QTest::newRow("case") << QStringList{"Vellumo reads PDF; the pdf is read."} << "pDf"
                              << QStringList{"PDF", "pdf"};
        QTest::newRow("case beyond ASCII") << QStringList{"ÄPFEL und äpfel"} << "äpfel"
                                           << QStringList{"ÄPFEL", "äpfel"};
        QTest::newRow("full-width digits") << QStringList{"版本２０２６年，ＰＤＦ格式"} << "2026"
                                           << QStringList{"２０２６"};
        QTest::newRow("full-width letters") << QStringList{"版本２０２６年，ＰＤＦ格式"} << "pdf"
                                            << QStringList{"ＰＤＦ"};
        QTest::newRow("full-width query") << QStringList{"version 2026"} << "２０２６"
                                          << QStringList{"2026"};
        QTest::newRow("ends of the full-width ranges")
            << QStringList{"编号０９ＡＺａｚ"} << "09azAZ" << QStringList{"０９ＡＺａｚ"};
        QTest::newRow("beyond the BMP, far into a page, after wide blanks")
            << QStringList{QStringLiteral("a   b ").repeated(30) + QStringLiteral("𠀀𠀁 needle")}
            << QStringLiteral("𠀁 needle") << QStringList{QStringLiteral("𠀁 needle")};
        QTest::newRow("ligature") << QStringList{"ﬁnd the ﬂow"} << "flow" << QStringList{"ﬂow"};
        QTest::newRow("hit inside a ligature takes all of it")
            << QStringList{"ﬁnd the ﬂow"} << "ind" << QStringList{"ﬁnd"};
        QTest::newRow("ligature in the query") << QStringList{"find"} << "ﬁnd"
                                               << QStringList{"find"};
        QTest::newRow("circled digit") << QStringList{"见注释①和②"} << "注释1"
                                       << QStringList{"注释①"};
        QTest::newRow("traditional page, simplified query")
            << QStringList{"搜尋繁體中文"} << "搜寻繁体中文" << QStringList{"搜尋繁體中文"};
        QTest::newRow("simplified page, traditional query")
            << QStringList{"这个例子"} << "這個" << QStringList{"这个"};
        QTest::newRow("variants of 里") << QStringList{"裡面", "裏面", "里面"} << "里面"
                                          << QStringList{"裡面", "裏面", "里面"};
        QTest::newRow("variants of 着, 为, 众")
            << QStringList{"著爲衆", "着为众", "著為眾"} << "着為衆"
            << QStringList{"著爲衆", "着为众", "著為眾"};

        QTest::newRow("full-width comma is not a comma") << QStringList{"一，二"} << "," << none;
        QTest::newRow("comma is not a full-width comma") << QStringList{"a, b"} << "，" << none;
        QTest::newRow("Chinese full stop is not a full stop")
            << QStringList{"句子。下一句"} << "." << none;
        QTest::newRow("enumeration comma is not a comma") << QStringList{"甲、乙"} << "," << none;
        QTest::newRow("characters only sometimes written alike") << QStringList{"覆盖"} << "复"
                                                                  << none;
        QTest::newRow("different words for the same thing") << QStringList{"軟體"} << "软件"
                                                             << none;
    }

    void foldedFormsMatch()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, query);
        QFETCH(QStringList, hits);
        QCOMPARE(hitsOf(lines, query), hits);
    }

    // Words hyphenated at a line end match whole; hyphens written inside a line stay.
    void hyphenation_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("hits");
        const QStringList none;

        QTest::newRow("joined") << QStringList{"a compu-", "ter program"} << "computer"
                                << QStringList{"compu-\nter"};
        QTest::newRow("with the hyphen typed") << QStringList{"a compu-", "ter program"}
                                               << "compu-ter" << QStringList{"compu-\nter"};
        QTest::newRow("as copied, with the break")
            << QStringList{"a compu-", "ter program"} << "compu- ter" << QStringList{"compu-\nter"};
        QTest::newRow("blanks after the hyphen") << QStringList{"a compu-  ", "  ter"} << "computer"
                                                 << QStringList{"compu-  \n  ter"};
        QTest::newRow("soft hyphen") << QStringList{QString("a compu") + QChar(0x00AD), "ter"}
                                     << "computer"
                                     << QStringList{QString("compu") + QChar(0x00AD) + "\nter"};
        QTest::newRow("compound split at its hyphen")
            << QStringList{"a well-", "known fact"} << "well-known" << QStringList{"well-\nknown"};
        QTest::newRow("compound on one line") << QStringList{"a well-known fact"} << "well-known"
                                              << QStringList{"well-known"};
        QTest::newRow("compound on one line, hyphen left out")
            << QStringList{"a well-known fact"} << "wellknown" << none;
        QTest::newRow("hyphen inside a line") << QStringList{"pre- and post-war"} << "preand"
                                              << none;
        QTest::newRow("dash after a blank") << QStringList{"well -", "known"} << "wellknown"
                                            << none;
        QTest::newRow("numbers are not words") << QStringList{"pages 10-", "20"} << "1020" << none;
    }

    void hyphenation()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, query);
        QFETCH(QStringList, hits);
        QCOMPARE(hitsOf(lines, query), hits);
    }

    // Folding what is already folded changes nothing, or a text would not find itself.
    void everyCharacterFoldsToAFixedPoint()
    {
        const FoldingTable &table = FoldingTable::shared();
        for (char32_t c = 0; c <= 0x3FFFF; ++c) {
            std::u32string once;
            table.append(c, once);
            std::u32string twice;
            for (const char32_t folded : once)
                table.append(folded, twice);
            if (once != twice)
                QFAIL(qPrintable(QStringLiteral("U+%1 folds on").arg(uint(c), 4, 16, QChar('0'))));
        }
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

    // The scan for where a hit can begin reads many units at a time: the rules hold
    // wherever a hit falls among them, a mark after its first unit included, on a page
    // kept in one byte a unit and on one with too many different characters for that.
    void hitsAreFoundWhereverTheyFallInALongLine()
    {
        QString yi; // 300 different characters
        for (char16_t c = 0xA000; c < 0xA000 + 300; ++c)
            yi += QChar(c);
        for (const bool wide : {false, true}) {
            for (int filler = 0; filler < 24; ++filler) {
                QStringList lines{QString(filler, QChar('x')) + " 这是一个中文",
                                  "文档的例子 a compu-", "ter 中文文档 xcompu", "ter ju-", "ter"};
                if (wide)
                    lines.prepend(yi);
                QCOMPARE(normalizePage(pageFromLines(lines)).text.isNarrow(), !wide);
                const QByteArray where = QByteArray::number(filler) + (wide ? " wide" : "");
                QVERIFY2(hitsOf(lines, "文文档") == QStringList({"文\n文档", "文文档"}), where);
                QVERIFY2(hitsOf(lines, "uter") == QStringList(2, "u-\nter"), where);
                QVERIFY2(hitsOf(lines, "u-ter") == QStringList(2, "u-\nter"), where);
                QVERIFY2(hitsOf(lines, "x") == QStringList(filler + 1, "x"), where);
                QVERIFY2(hitsOf(lines, "xy").isEmpty(), where);
            }
        }
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
        const std::u16string q = normalizeQuery("one");
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
