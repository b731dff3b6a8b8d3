// Find, find next and search-all over pages of known text, including pages that are
// still on their way when the search starts.

#include "ScriptedModalUi.h"
#include "ShownText.h"
#include "StagedPages.h"
#include "viewer/pdf/text/SearchResultsPane.h"
#include "WaitedSearch.h"

#include <QSignalSpy>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

Q_DECLARE_METATYPE(SearchHit)

namespace {

// Hits of "target": page 0 once, page 2 twice, page 3 once (mixed case).
QList<QStringList> fourPages()
{
    return {
        {"alpha target", "more words"},
        {"nothing to see here"},
        {"target one and", "target two"},
        {"the last Target."},
    };
}

struct Place {
    int page;
    int begin;
    bool operator==(const Place &o) const { return page == o.page && begin == o.begin; }
};

Place placeOf(const std::optional<SearchHit> &hit)
{
    return hit ? Place{hit->page, hit->match.chars.begin} : Place{-1, -1};
}

char *toString(const Place &p)
{
    return QTest::toString(QStringLiteral("page %1 char %2").arg(p.page).arg(p.begin));
}

} // namespace

class TextSearchTest : public QObject {
    Q_OBJECT
private slots:
    void findTextStartsOnTheShownPageAndWrapsOnce()
    {
        StagedPages pages(fourPages());
        ScriptedModalUi ui;
        WaitedSearch search(pages, ui);
        QCOMPARE(placeOf(search.findText("TARGET", 1)), (Place{2, 0}));
        // A new text may match at the current hit, though the page has a later one.
        QCOMPARE(placeOf(search.findText("targ", 2)), (Place{2, 0}));
        // From the last page the search wraps to the first.
        search.reset();
        QCOMPARE(placeOf(search.findText("target", 3)), (Place{3, 9}));
        QCOMPARE(placeOf(search.findText("target", 3)), (Place{0, 6}));
        // The current hit is on another page than the one shown: start at the shown page.
        QCOMPARE(placeOf(search.findText("target", 2)), (Place{2, 0}));
        QVERIFY(ui.progressLabels.isEmpty());
    }

    void findNextVisitsEveryHitInOrderAndWraps()
    {
        StagedPages pages(fourPages());
        ScriptedModalUi ui;
        WaitedSearch search(pages, ui);
        QVERIFY(!search.findNext(0)); // no earlier search
        QCOMPARE(placeOf(search.findText("target", 1)), (Place{2, 0}));
        QCOMPARE(placeOf(search.findNext(1)), (Place{2, 14}));
        QCOMPARE(placeOf(search.findNext(1)), (Place{3, 9}));
        QCOMPARE(placeOf(search.findNext(1)), (Place{0, 6}));
        QCOMPARE(placeOf(search.findNext(1)), (Place{2, 0}));
        // Find previous walks the same hits backwards and wraps the other way.
        QCOMPARE(placeOf(search.findPrevious(1)), (Place{0, 6}));
        QCOMPARE(placeOf(search.findPrevious(1)), (Place{3, 9}));
        QCOMPARE(placeOf(search.findPrevious(1)), (Place{2, 14}));
        QCOMPARE(placeOf(search.findPrevious(1)), (Place{2, 0}));
        search.reset();
        QVERIFY(!search.findPrevious(1)); // no earlier search
    }

    void aSingleHitIsFoundAgainAfterTheWrap()
    {
        StagedPages pages({{"one"}, {"unique word"}, {"three"}});
        ScriptedModalUi ui;
        WaitedSearch search(pages, ui);
        QCOMPARE(placeOf(search.findText("unique", 0)), (Place{1, 0}));
        QCOMPARE(placeOf(search.findNext(0)), (Place{1, 0}));
    }

    void noMatchLeavesTheCurrentHit()
    {
        StagedPages pages(fourPages());
        ScriptedModalUi ui;
        WaitedSearch search(pages, ui);
        QVERIFY(search.findText("target", 0));
        QVERIFY(!search.findText("absent", 0));
        QCOMPARE(placeOf(search.currentHit()), (Place{0, 6}));
        QVERIFY(!search.findText("", 0));
    }

    void searchAllListsEveryHitWithContext()
    {
        StagedPages pages({{"The quick brown fox jumps over the lazy dog near the river bank"},
                           {"无"},
                           {"这是第一行中文", "文本在第二行"},
                           {"一二三四五六七八九十目标之后"},
                           {"古字𠀀𠀁在此"}});
        ScriptedModalUi ui;
        WaitedSearch search(pages, ui);
        FoundHits found = search.searchAll("lazy");
        QCOMPARE(found.total, size_t(1));
        ListedHit hit = search.listed(found.listed.at(0));
        QCOMPARE(hit.hit.page, 0);
        QCOMPARE(hit.before, QStringLiteral(" fox jumps over the "));
        QCOMPARE(hit.text, QStringLiteral("lazy"));
        QCOMPARE(hit.after, QStringLiteral(" dog near the river "));
        // The list line keeps little enough before the hit that the hit shows
        // in a narrow list; a Chinese character takes two columns there.
        QCOMPARE(SearchResultsPane::contextLine(hit),
                 QStringLiteral("… jumps over the 【lazy】 dog near the river "));
        found = search.searchAll("目标");
        QCOMPARE(found.total, size_t(1));
        QCOMPARE(SearchResultsPane::contextLine(search.listed(found.listed.at(0))),
                 QStringLiteral("…三四五六七八九十【目标】之后"));

        found = search.searchAll("中文文本");
        QCOMPARE(found.total, size_t(1));
        hit = search.listed(found.listed.at(0));
        QCOMPARE(hit.hit.page, 2);
        QCOMPARE(hit.before, QStringLiteral("这是第一行"));
        QCOMPARE(hit.text, QStringLiteral("中文文本"));
        QCOMPARE(hit.after, QStringLiteral("在第二行"));

        found = search.searchAll("在此");
        QCOMPARE(found.total, size_t(1));
        QCOMPARE(search.listed(found.listed.at(0)).before, QStringLiteral("古字𠀀𠀁"));

        QCOMPARE(search.searchAll("the").listed.size(), size_t(3));
        QCOMPARE(search.searchAll("absent").total, size_t(0));
        // find next goes on from the top of the shown page after a search-all.
        search.searchAll("the");
        QCOMPARE(placeOf(search.findNext(0)), (Place{0, 0}));
        QCOMPARE(placeOf(search.findNext(0)), (Place{0, 31}));
    }

    void searchWaitsForPagesStillBeingExtracted()
    {
        StagedPages pages(fourPages());
        pages.setReady(2, false);
        pages.setReady(3, false);
        ScriptedModalUi ui;
        WaitedSearch search(pages, ui);
        // A hit among the ready pages needs no wait.
        QCOMPARE(placeOf(search.findText("alpha", 0)), (Place{0, 0}));
        QVERIFY(ui.progressLabels.isEmpty());

        QTimer::singleShot(0, [&] { pages.setReady(2, true); });
        QTimer::singleShot(20, [&] { pages.setReady(3, true); });
        QCOMPARE(placeOf(search.findText("last", 0)), (Place{3, 4}));
        QCOMPARE(ui.progressLabels, QStringList{QStringLiteral("正在检索，请稍候……")});
    }

    void searchWaitsUntilThePageCountIsKnown()
    {
        StagedPages pages(fourPages());
        pages.setCountKnown(false);
        ScriptedModalUi ui;
        WaitedSearch search(pages, ui);
        QTimer::singleShot(0, [&] { pages.setCountKnown(true); });
        QCOMPARE(search.searchAll("target").total, size_t(4));
        QCOMPARE(ui.progressLabels.size(), 1);
    }

    void cancellingTheWaitMeansNotFound()
    {
        StagedPages pages(fourPages());
        pages.setReady(3, false);
        ScriptedModalUi ui;
        ui.cancelProgress = true;
        WaitedSearch search(pages, ui);
        QVERIFY(!search.findText("last", 0));
        QCOMPARE(search.searchAll("target").total, size_t(0));
        QCOMPARE(ui.progressLabels.size(), 2);
        // A cancelled find leaves no search for find next to go on with, not
        // the one before it.
        ui.cancelProgress = false;
        QCOMPARE(placeOf(search.findText("target", 0)), (Place{0, 6}));
        ui.cancelProgress = true;
        pages.setCountKnown(false);
        QVERIFY(!search.findText("words", 0));
        pages.setCountKnown(true);
        QVERIFY(!search.findNext(0));
        QVERIFY(!search.findPrevious(0));
        QVERIFY(!search.lastOutcome().cancelled);
    }

    void closingTheDocumentDuringTheWaitMeansNotFound()
    {
        StagedPages pages(fourPages());
        pages.setReady(3, false);
        ScriptedModalUi ui;
        WaitedSearch search(pages, ui);
        QTimer::singleShot(0, [&] {
            pages.bumpGeneration();
            pages.setReady(3, true);
        });
        QCOMPARE(search.searchAll("target").total, size_t(0));
    }

    // A search still waiting when its searcher goes ends cancelled, and pages
    // that arrive later reach nothing of it.
    void aSearchOutlivingItsSearcherEndsCancelled()
    {
        StagedPages pages(fourPages());
        pages.setReady(3, false);
        int answers = 0;
        std::shared_ptr<LongWork> job;
        {
            TextSearch search(pages);
            job = search.searchAll("target", [&](FoundHits) { return ++answers; });
            QVERIFY(job->isRunning());
        }
        QCOMPARE(job->state(), LongWork::State::Cancelled);
        pages.setReady(3, true);
        QTest::qWait(50);
        QCOMPARE(answers, 0);
    }

    void resultsPaneListsPagesAndReportsTheChosenHit()
    {
        StagedPages pages(fourPages());
        ScriptedModalUi ui;
        WaitedSearch search(pages, ui);
        SearchResultsPane pane;
        FoundHits found = search.searchAll("target");
        pane.setHits(found.listed, found.total, false,
                     [&](const SearchHit &hit) { return search.listed(hit); });
        auto *list = pane.findChild<QTreeWidget *>();
        QVERIFY(list);
        QCOMPARE(list->topLevelItemCount(), 4);
        QCOMPARE(list->topLevelItem(3)->text(0), QStringLiteral("第 4 页"));
        QCOMPARE(list->topLevelItem(3)->text(1), QStringLiteral("the last 【Target】."));

        QSignalSpy chosen(&pane, &SearchResultsPane::hitChosen);
        emit list->itemActivated(list->topLevelItem(2), 0);
        QCOMPARE(chosen.size(), 1);
        const SearchHit hit = chosen.at(0).at(0).value<SearchHit>();
        QCOMPARE(hit.page, 2);
        QCOMPARE(hit.match.chars, (TextRange{14, 20}));
    }

    void resultsPaneTipShowsTheContextAsWritten()
    {
        StagedPages pages({{"<b>bold</b> target <img src=/x>"}});
        ScriptedModalUi ui;
        WaitedSearch search(pages, ui);
        SearchResultsPane pane;
        const FoundHits found = search.searchAll("target");
        pane.setHits(found.listed, found.total, false,
                     [&](const SearchHit &hit) { return search.listed(hit); });
        auto *list = pane.findChild<QTreeWidget *>();
        // The markup of the page's text shows as written, not read as HTML.
        QCOMPARE(shownAsAutoText(list->topLevelItem(0)->toolTip(1)),
                 QStringLiteral("<b>bold</b> 【target】 <img src=/x>"));
    }
};

QTEST_MAIN(TextSearchTest)
#include "test_text_search.moc"
