#pragma once
// Find, find next and search-all over the text index, with the memory of the last
// search and the current hit. Runs on the GUI thread. When the index is not yet
// complete it searches the pages that are ready and waits for the rest through the
// modal seam's progress dialog, which keeps the event loop running; cancelling that
// dialog ends the search without a hit, and lastOutcome() tells it apart.

#include "viewer/pdf/text/TextMatcher.h"

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class ModalUi;
class QWidget;
class PageSource;
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
    TextSearch(const PageSource &pages, ModalUi &ui, QWidget *dialogParent);

    // Searches from the current position: just after the current hit when that is on
    // `currentPage` (0-based), else from the top of `currentPage`; wraps once round the
    // document. The hit becomes the current hit.
    std::optional<SearchHit> findText(const QString &text, int currentPage);
    // Continues the last findText or searchAll from the current hit (or from the top of
    // `currentPage` when there is none). Nothing without an earlier search; a find or
    // search-all whose wait was cancelled leaves none, rather than the one before it.
    std::optional<SearchHit> findNext(int currentPage);
    // The same backwards: the hit before the current one (or the last one above
    // the end of `currentPage`), wrapping once round the document.
    std::optional<SearchHit> findPrevious(int currentPage);
    // Every hit in document order, the first MaxListedHits of them kept and the rest
    // counted; none when the wait was cancelled.
    FoundHits searchAll(const QString &text);
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
    // Visits ready pages in the order given by makeOrder(pageCount) until visit returns
    // true, waiting for pages that are not extracted yet, and through the same wait
    // when the pages take the GUI thread longer than a frame. makeOrder is called once the
    // page count is known, which is also when text can be folded (PageSource), so it
    // is where a query is folded. False when the wait was cancelled (noted in the
    // outcome) or the document went away meanwhile.
    using PageVisit = std::function<bool(size_t step, int page, const IndexedPage &)>;
    bool walkPages(const std::function<std::vector<int>(int)> &makeOrder, const PageVisit &visit);
    // Searches m_query from normalized `position` on startPage, as returned by
    // startPosition() once the walk can begin.
    std::optional<SearchHit> findFrom(int startPage, const std::function<size_t()> &startPosition);
    void forgetSearch(); // the query and the current hit

    const PageSource &m_pages;
    ModalUi &m_ui;
    QWidget *m_dialogParent;
    std::u16string m_query; // normalized; empty when there was no search
    // The page listed() expanded last, and the index generation it came from.
    mutable PageText m_listedText;
    mutable int m_listedPage = -1;
    mutable quint64 m_listedGeneration = 0;
    std::optional<SearchHit> m_current;
    SearchOutcome m_outcome;
};
