#pragma once
// Find, find next and search-all over the text index, with the memory of the last
// search and the current hit. Runs on the GUI thread. Each search is a job: it
// searches the pages that are ready at once, and when the index is not yet
// complete (or the pages take longer than a frame) it goes on in slices of the
// event loop as pages arrive, reporting how far it got. Cancelling the job ends
// the search without a hit, and lastOutcome() tells it apart.

#include "viewer/pdf/text/TextMatcher.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class LongWork;
class PageSource;
class PageWalk;
struct IndexedPage;

struct SearchHit {
    int page = -1; // 0-based
    TextMatch match;
};

// A hit of search-all with about twenty characters of text on each side.
struct ListedHit {
    SearchHit hit;
    QString before;
    QString text;
    QString after;
};

// The hits of a search-all: the first ones in document order, as many as a list
// shows, and how many there are in all.
struct FoundHits {
    std::vector<SearchHit> listed;
    size_t total = 0;
};

// How the last find, find next or search-all ended, beyond its hits.
struct SearchOutcome {
    bool cancelled = false;       // the user cancelled the wait for pages
    bool coveredTruncated = false; // a page searched holds only part of its text
};

class TextSearch {
public:
    explicit TextSearch(const PageSource &pages);
    ~TextSearch();

    // Each search returns its job at once, finished already when every page it
    // needed was at hand. When the search is over, `then` gets what it found
    // and gives the job's answer; a cancelled job calls nothing. A new search,
    // reset() or the end of this object cancels a search still going.
    using HitThen = std::function<int(const std::optional<SearchHit> &)>;
    using FoundThen = std::function<int(FoundHits)>;

    // Searches from the current position: just after the current hit when that is on
    // `currentPage` (0-based), else from the top of `currentPage`; wraps once round the
    // document. The hit becomes the current hit.
    std::shared_ptr<LongWork> findText(const QString &text, int currentPage, HitThen then);
    // Continues the last findText or searchAll from the current hit (or from the top of
    // `currentPage` when there is none). Nothing without an earlier search; a find or
    // search-all whose wait was cancelled leaves none, rather than the one before it.
    std::shared_ptr<LongWork> findNext(int currentPage, HitThen then);
    // The same backwards: the hit before the current one (or the last one above
    // the end of `currentPage`), wrapping once round the document.
    std::shared_ptr<LongWork> findPrevious(int currentPage, HitThen then);
    // Every hit in document order, the first MaxListedHits of them kept and the rest
    // counted.
    std::shared_ptr<LongWork> searchAll(const QString &text, FoundThen then);
    // A hit with the text around it, for the list of a search-all; the text is
    // empty when the hit's page is no longer in the index.
    ListedHit listed(const SearchHit &hit) const;
    // Enough for any reader going through a list; a document full of one letter
    // has millions of hits, which would take gigabytes and seconds to list.
    static constexpr size_t MaxListedHits = 5000;

    // The hits of the last search on a page whose text is ready, none otherwise;
    // never waits.
    std::vector<TextMatch> hitsOn(int page) const;

    const SearchOutcome &lastOutcome() const { return m_outcome; }
    const std::optional<SearchHit> &currentHit() const { return m_current; }
    // A hit chosen elsewhere (the results list) becomes the place find next goes on from.
    void setCurrentHit(const SearchHit &hit) { m_current = hit; }
    // Forgets the last search and the current hit (the document closed or changed).
    void reset();

private:
    // A job that visits ready pages in the order given by makeOrder(pageCount) until
    // visit returns true, waiting for pages that are not extracted yet, and going on
    // in slices when the pages take the GUI thread longer than a frame. makeOrder is
    // called once the page count is known, which is also when text can be folded
    // (PageSource), so it is where a query is folded. Once over, conclude(whole)
    // gives the job's answer; whole is false when the document went away meanwhile.
    // A cancelled walk notes it in the outcome and runs whenCancelled.
    using PageVisit = std::function<bool(size_t step, int page, const IndexedPage &)>;
    std::shared_ptr<LongWork> walkPages(std::function<std::vector<int>(int)> makeOrder,
                                        PageVisit visit, std::function<int(bool whole)> conclude,
                                        std::function<void()> whenCancelled = {});
    // A search with nothing to walk: finished at once with conclude()'s answer.
    static std::shared_ptr<LongWork> answered(std::function<int()> conclude);
    // Searches m_query from normalized `position` on startPage, as returned by
    // startPosition() once the walk can begin.
    std::shared_ptr<LongWork> findFrom(int startPage, std::function<size_t()> startPosition,
                                       std::function<int(const std::optional<SearchHit> &)> then,
                                       std::function<void()> whenCancelled);
    void forgetSearch(); // the query and the current hit
    void stopWalk();     // the search still going, if any

    const PageSource &m_pages;
    std::weak_ptr<PageWalk> m_walk; // the last search's job
    std::u16string m_query; // normalized; empty when there was no search
    // The page listed() expanded last, and the index generation it came from.
    mutable PageText m_listedText;
    mutable int m_listedPage = -1;
    mutable quint64 m_listedGeneration = 0;
    std::optional<SearchHit> m_current;
    SearchOutcome m_outcome;
};
