#include "viewer/pdf/text/TextLayer.h"

#include "viewer/ViewerControl.h"
#include "viewer/pdf/PageView.h"
#include "viewer/pdf/text/SearchResultsPane.h"

#include <climits>
#include <utility>

TextLayer::TextLayer(PageView &view, QObject *parent)
    : QObject(parent), m_view(view), m_search(m_index),
      m_results(new SearchResultsPane)
{
    m_results->hide();
    connect(m_results, &SearchResultsPane::hitChosen, this, [this](const SearchHit &hit) {
        m_search.setCurrentHit(hit);
        showHit(hit);
    });
    connect(&view, &PageView::currentPageChanged, this, [this](int page) {
        m_index.prioritize(page);
        fetchAround(page);
        markFindHits();
    });
    connect(&m_index, &TextIndex::pageTextReady, this, &TextLayer::pageTextArrived);
    // The index would compete with the first page for the cores.
    connect(&view, &PageView::firstPageShown, this, &TextLayer::startIndex);
    connect(&view, &PageView::textPressed, this, &TextLayer::pressed);
    connect(&view, &PageView::textMoved, this, &TextLayer::moved);
    connect(&view, &PageView::textReleased, this, &TextLayer::moved);
    connect(&view, &PageView::textDoubleClicked, this, &TextLayer::doubleClicked);
    // More pages read: what an assistive technology was told may grow.
    connect(&m_index, &TextIndex::progressChanged, &view, &PageView::readingChanged);
    view.setReading(this);
}

TextLayer::~TextLayer()
{
    m_view.setReading(nullptr);
    // The pane is deleted by the widget it was placed in; unplaced, it is ours.
    // Either way it stops filling its list from our search.
    if (m_results)
        m_results->clear();
    if (m_results && !m_results->parent())
        delete m_results.data();
}

void TextLayer::documentOpened(std::shared_ptr<const FileVersion> version,
                               const QString &userPassword, const QString &ownerPassword)
{
    documentClosed();
    m_indexWaiting = IndexRequest{std::move(version), userPassword, ownerPassword};
}

void TextLayer::startIndex()
{
    if (!m_indexWaiting)
        return;
    const IndexRequest request = *std::exchange(m_indexWaiting, std::nullopt);
    m_index.start(request.version, request.userPassword, request.ownerPassword,
                  std::max(m_view.currentPage(), 0));
    fetchAround(m_view.currentPage());
}

// The full text of the pages in view, at hand before the reader selects on them.
void TextLayer::fetchAround(int page)
{
    for (const int p : {page, page + 1, page - 1})
        if (p >= 0)
            m_index.pageText(p);
}

void TextLayer::documentClosed()
{
    m_indexWaiting.reset();
    m_index.stop();
    m_search.reset();
    m_selection.clear();
    m_view.setHighlights(PageView::HighlightLayer::Selection, {});
    forgetLastSearch();
}

std::shared_ptr<LongWork> TextLayer::beginFind(const QString &text)
{
    if (m_view.currentPage() < 0)
        return nullptr;
    startIndex();
    forgetLastSearch();
    return m_search.findText(text, m_view.currentPage(), [this](const std::optional<SearchHit> &hit) {
        if (!hit)
            return missAnswer(m_search.lastOutcome());
        m_finding = true;
        showHit(*hit);
        return 1;
    });
}

std::shared_ptr<LongWork> TextLayer::beginFindNext()
{
    if (m_view.currentPage() < 0)
        return nullptr;
    startIndex();
    return m_search.findNext(m_view.currentPage(), [this](const std::optional<SearchHit> &hit) {
        return showFound(hit);
    });
}

std::shared_ptr<LongWork> TextLayer::beginFindPrevious()
{
    if (m_view.currentPage() < 0)
        return nullptr;
    startIndex();
    return m_search.findPrevious(m_view.currentPage(), [this](const std::optional<SearchHit> &hit) {
        return showFound(hit);
    });
}

int TextLayer::showFound(const std::optional<SearchHit> &hit)
{
    if (!hit)
        return 0;
    showHit(*hit);
    return 1;
}

std::shared_ptr<LongWork> TextLayer::beginSearchAll(const QString &text)
{
    if (m_view.currentPage() < 0)
        return nullptr;
    startIndex();
    forgetLastSearch();
    return m_search.searchAll(text, [this](FoundHits found) {
        const SearchOutcome &outcome = m_search.lastOutcome();
        // Hits are marked on the pages around the view, as a find's are; those past
        // the list are counted, not listed.
        const size_t total = found.total;
        m_finding = total > 0;
        markFindHits();
        m_results->setHits(std::move(found.listed), total, outcome.coveredTruncated,
                           [this](const SearchHit &hit) { return m_search.listed(hit); });
        // Without hits the list stays up only to say that some text was not searched.
        if (total == 0 && !outcome.coveredTruncated)
            m_results->hide();
        else
            m_results->reveal();
        return total == 0 ? missAnswer(outcome) : int(std::min<size_t>(total, INT_MAX));
    });
}

int TextLayer::missAnswer(const SearchOutcome &outcome)
{
    return outcome.coveredTruncated ? ViewerControl::SearchIncomplete : 0;
}

// A new search replaces the hits of the last one, their list included, even
// while it waits for pages still being read.
void TextLayer::forgetLastSearch()
{
    m_finding = false;
    m_shownHit.reset();
    m_view.setHighlights(PageView::HighlightLayer::SearchHits, {});
    m_view.setHighlights(PageView::HighlightLayer::CurrentHit, {});
    if (m_results) {
        m_results->clear();
        m_results->hide();
    }
}

void TextLayer::showHit(const SearchHit &hit)
{
    emit jumping();
    m_shownHit = hit;
    m_hitPlaced = false;
    placeShownHit();
    markFindHits();
}

// Marks the shown hit and brings it into view: its page at once, the hit itself
// once the page's full text is there.
void TextLayer::placeShownHit()
{
    if (!m_shownHit || m_hitPlaced)
        return;
    const SearchHit &hit = *m_shownHit;
    const std::shared_ptr<const PageText> text = m_index.pageText(hit.page);
    const QVector<QRectF> rects = rectsOf(hit.page, hit.match.chars);
    m_view.setHighlights(PageView::HighlightLayer::CurrentHit, {{hit.page, rects}});
    QRectF area;
    for (const QRectF &rect : rects)
        area = area.united(rect);
    const std::shared_ptr<const IndexedPage> indexed = m_index.page(hit.page);
    if (!text && indexed) // the page for now, the hit when its boxes are in
        area = QRectF(QPointF(0, 0), indexed->text.size());
    m_view.scrollToPageRect(hit.page, area);
    m_hitPlaced = text != nullptr;
}

void TextLayer::pageTextArrived(int page)
{
    emit m_view.readingChanged(); // an assistive technology may be waiting for it
    if (m_shownHit && m_shownHit->page == page)
        placeShownHit();
    markFindHits();
    for (const PageRange &range : m_selection.ranges())
        if (range.page == page)
            selectionChanged();
}

// Every hit of the last find or search-all on the pages in and around the view,
// marked as the reader moves: drawing a hit takes its page's full text.
void TextLayer::markFindHits()
{
    const int current = m_view.currentPage();
    if (!m_finding || current < 0)
        return;
    constexpr int kAround = 2; // pages before and after the current one
    const std::optional<SearchHit> &shown = m_search.currentHit(); // marked apart
    RectsByPage hits;
    for (int page = std::max(0, current - kAround); page <= current + kAround; ++page)
        for (const TextMatch &match : m_search.hitsOn(page))
            if (!shown || shown->page != page || !(shown->match.chars == match.chars))
                hits[page] += rectsOf(page, match.chars);
    m_view.setHighlights(PageView::HighlightLayer::SearchHits, hits);
}

QVector<QRectF> TextLayer::rectsOf(int page, TextRange range) const
{
    QVector<QRectF> out;
    if (const std::shared_ptr<const PageText> text = m_index.pageText(page)) {
        for (const QRectF &rect : text->rectsFor(range))
            out.append(rect);
    }
    return out;
}

std::shared_ptr<const PageText> TextLayer::pageText(int page) const
{
    return m_index.pageText(page);
}

TextSelection::PageLookup TextLayer::pageLookup() const
{
    // The lookup keeps the pages it gave alive for as long as it lives.
    auto held = std::make_shared<std::vector<std::shared_ptr<const PageText>>>();
    return [this, held](int page) -> const PageText * {
        std::shared_ptr<const PageText> text = m_index.pageText(page);
        if (!text)
            return nullptr;
        held->push_back(text);
        return text.get();
    };
}

void TextLayer::pressed(const PagePoint &at)
{
    startIndex();
    m_anchor = TextPoint{at.page, at.point};
    m_selection.clear();
    selectionChanged();
}

void TextLayer::moved(const PagePoint &at)
{
    if (at.page < 0 || m_anchor.page < 0)
        return;
    m_selection.select(pageLookup(), m_anchor, TextPoint{at.page, at.point});
    selectionChanged();
}

void TextLayer::doubleClicked(const PagePoint &at)
{
    startIndex();
    if (at.page < 0)
        return;
    m_selection.selectWord(pageLookup(), TextPoint{at.page, at.point});
    m_anchor = TextPoint{};
    selectionChanged();
}

void TextLayer::selectionChanged()
{
    RectsByPage rects;
    for (const PageRange &range : m_selection.ranges())
        rects[range.page] = rectsOf(range.page, range.range);
    m_view.setHighlights(PageView::HighlightLayer::Selection, rects);
    emit m_view.readingChanged();
}

TextRange TextLayer::selectionOn(int page) const
{
    for (const PageRange &range : m_selection.ranges())
        if (range.page == page)
            return range.range;
    return {};
}
