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
    // Every hit in document order; empty when none, or when the wait was cancelled.
    std::vector<ListedHit> searchAll(const QString &text);

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
    // true, waiting for pages that are not extracted yet. makeOrder is called once the
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
    std::optional<SearchHit> m_current;
    SearchOutcome m_outcome;
};
