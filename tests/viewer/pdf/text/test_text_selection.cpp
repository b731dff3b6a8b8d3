// The text-select tool's selection on pages of known layout (PageTextBuilder: characters
// 10 points wide from x = 50, lines 20 points apart from y = 50, 12 points high).

#include "PageTextBuilder.h"
#include "Fixtures.h"
#include "viewer/pdf/text/TextDocument.h"
#include "viewer/pdf/text/TextSelection.h"

#include <QtTest>

namespace {

// The point in the middle-left of character `column` on line `line`.
QPointF at(int line, double column)
{
    return QPointF(50 + 10 * column + 2, 50 + 20 * line + 6);
}

} // namespace

class TextSelectionTest : public QObject {
    Q_OBJECT
private:
    std::vector<PageText> m_pages;
    TextSelection::PageLookup lookup()
    {
        return [this](int page) -> const PageText * {
            return page >= 0 && page < int(m_pages.size()) && !m_pages[size_t(page)].lines.empty()
                ? &m_pages[size_t(page)]
                : nullptr;
        };
    }

private slots:
    void init()
    {
        m_pages = {
            pageFromLines({"Hello brave", "new world"}),
            pageFromLines({"这是中 文的", "第二行"}),
            PageText(), // a page whose text is not known yet
            pageFromLines({"last page"}),
        };
    }

    void selectsAcrossTwoLinesWithALineBreak()
    {
        TextSelection selection;
        selection.select(lookup(), {0, at(0, 6)}, {0, at(1, 3)});
        QCOMPARE(selection.text(), QStringLiteral("brave\nnew"));
        QCOMPARE(selection.ranges().size(), size_t(1));
        QCOMPARE(selection.ranges()[0].range, (TextRange{6, 14}));
        // Dragging backwards selects the same.
        selection.select(lookup(), {0, at(1, 3)}, {0, at(0, 6)});
        QCOMPARE(selection.text(), QStringLiteral("brave\nnew"));
        const std::vector<QRectF> rects = m_pages[0].rectsFor(selection.ranges()[0].range);
        QCOMPARE(rects.size(), size_t(2));
        QCOMPARE(rects[0], QRectF(110, 50, 50, 12));
        QCOMPARE(rects[1], QRectF(50, 70, 30, 12));
    }

    void chineseComesOutWithoutStrayBlanks()
    {
        TextSelection selection;
        selection.select(lookup(), {1, at(0, 0)}, {1, at(1, 3)});
        QCOMPARE(selection.text(), QStringLiteral("这是中文的\n第二行"));
        // Where each character begins in the page's text, as screen readers
        // are told: the blank left out begins with the character after it.
        std::vector<int> starts;
        const PageText &page = m_pages[1];
        QCOMPARE(page.textOf({0, page.charCount()}, PageText::LineJoin::Newline, &starts),
                 QStringLiteral("这是中文的\n第二行"));
        QCOMPARE(starts, (std::vector<int>{0, 1, 2, 3, 3, 4, 6, 7, 8, 9}));
    }

    void selectsAcrossPagesSkippingPagesWithoutText()
    {
        TextSelection selection;
        selection.select(lookup(), {3, at(0, 4)}, {0, at(1, 4)});
        QCOMPARE(selection.text(), QStringLiteral("world\n这是中文的\n第二行\nlast"));
        QCOMPARE(selection.ranges().size(), size_t(3));
        QCOMPARE(selection.ranges()[1].page, 1);
        QCOMPARE(selection.ranges()[2].page, 3);
    }

    void pointsOutsideTheTextSnapToTheNearestLine()
    {
        // From left of the first line to far right of it: the whole line.
        TextSelection selection;
        selection.select(lookup(), {0, QPointF(0, 56)}, {0, QPointF(500, 60)});
        QCOMPARE(selection.text(), QStringLiteral("Hello brave"));
        // Above or below all the text: its start or its end.
        QCOMPARE(TextSelection::caretAt(m_pages[0], QPointF(70, 700)), 20);
        QCOMPARE(TextSelection::caretAt(m_pages[0], QPointF(300, 10)), 0);
        QCOMPARE(TextSelection::caretAt(PageText(), QPointF(70, 70)), 0);
    }

    void nothingSelectedGivesEmptyText()
    {
        TextSelection selection;
        QVERIFY(selection.isEmpty());
        QCOMPARE(selection.text(), QString());
        selection.select(lookup(), {0, at(0, 2)}, {0, at(0, 2)});
        QVERIFY(selection.isEmpty());
        QCOMPARE(selection.text(), QString());
        selection.select(lookup(), {2, at(0, 0)}, {2, at(0, 5)});
        QVERIFY(selection.isEmpty());
    }

    // Copied text reads as the page is printed: a justified line's widely
    // spaced words, a line whose font size changes and a line mixing Latin and
    // Chinese each stay one line; a hyphen at a line's end stays; Chinese keeps
    // its lines and gets no blanks.
    void copiedTextReadsAsPrinted()
    {
        SamplePage page;
        const auto word = [&page](const QString &text, double x, double baseline, double size = 12) {
            page.lines.append({text, x, baseline, size});
        };
        word("Justified", 72, 100);
        word("lines", 200, 100);
        word("spread", 320, 100);
        word("wide.", 470, 100);
        word("Mixed", 72, 130);
        word("small", 108, 126, 8);
        word("again", 130, 130);
        word(QStringLiteral("Vellumo 阅读器 reader"), 72, 160);
        word("hyphen-", 72, 190);
        word("ated word", 72, 206);
        word(QStringLiteral("中文第一行"), 72, 240);
        word(QStringLiteral("第二行"), 72, 256);
        SampleDocument doc;
        doc.pages = {page};
        Fixtures fx;
        TextDocument::OpenResult result;
        const auto document = TextDocument::open(fx.write("copy.pdf", doc), "", "", &result);
        QVERIFY(document);
        m_pages = {*document->extractPage(0, nullptr)};
        TextSelection selection;
        selection.select(lookup(), {0, QPointF(0, 0)}, {0, QPointF(595, 842)});
        QCOMPARE(selection.text(), QStringLiteral("Justified lines spread wide.\nMixed small again\n"
                                                  "Vellumo 阅读器 reader\nhyphen-\nated word\n"
                                                  "中文第一行\n第二行"));
    }

    void doubleClickSelectsAWordOrOneChineseCharacter()
    {
        TextSelection selection;
        selection.selectWord(lookup(), {0, at(0, 8)});
        QCOMPARE(selection.text(), QStringLiteral("brave"));
        selection.selectWord(lookup(), {1, at(1, 1)});
        QCOMPARE(selection.text(), QStringLiteral("二"));
        selection.selectWord(lookup(), {0, at(0, 5)}); // the blank between words
        QVERIFY(selection.isEmpty());
        selection.selectWord(lookup(), {0, QPointF(400, 400)});
        QVERIFY(selection.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TextSelectionTest)
#include "test_text_selection.moc"
