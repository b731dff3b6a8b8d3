#include "viewer/pdf/text/TextSearch.h"

#include "ui/LongWork.h"
#include "viewer/pdf/text/PageSource.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

const int ContextChars = 20;

// How long a search holds the GUI thread before it lets the window paint.
const qint64 SliceMs = 12;
// How often a search that waits for the index looks for the pages it needs.
const int PageWaitMs = 10;

QString oneLine(QString text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return text.replace(blanks, QStringLiteral(" "));
}

} // namespace

// A search going on in slices of the GUI thread: each slice goes as far as the
// ready pages and its time allow, the next one follows at once while pages are
// at hand and a moment later while it waits for the index.
class PageWalk : public LongWork {
public:
    enum class Step { Over, Busy, Waiting };
    PageWalk(std::function<Step()> advance, std::function<int()> percent,
             std::function<int()> conclude, std::function<void()> whenCancelled)
        : m_advance(std::move(advance)), m_percent(std::move(percent)),
          m_conclude(std::move(conclude)), m_whenCancelled(std::move(whenCancelled))
    {
        m_slice.setSingleShot(true);
        QObject::connect(&m_slice, &QTimer::timeout, this, &PageWalk::go);
    }
    void go()
    {
        const Step step = m_advance();
        if (step == Step::Over) {
            finish(m_conclude());
            return;
        }
        setProgress(m_percent());
        m_slice.start(step == Step::Busy ? 0 : PageWaitMs);
    }

private:
    void stopWork() override
    {
        m_slice.stop();
        if (m_whenCancelled)
            m_whenCancelled();
    }

    QTimer m_slice;
    std::function<Step()> m_advance;
    std::function<int()> m_percent;
    std::function<int()> m_conclude;
    std::function<void()> m_whenCancelled;
};

TextSearch::TextSearch(const PageSource &pages) : m_pages(pages)
{
}

TextSearch::~TextSearch()
{
    stopWalk();
}

void TextSearch::reset()
{
    stopWalk();
    forgetSearch();
    m_outcome = SearchOutcome();
}

void TextSearch::stopWalk()
{
    if (const std::shared_ptr<PageWalk> walk = m_walk.lock())
        walk->cancel();
}

void TextSearch::forgetSearch()
{
    m_query.clear();
    m_current.reset();
}

std::shared_ptr<LongWork> TextSearch::walkPages(std::function<std::vector<int>(int)> makeOrder,
                                                PageVisit visit,
                                                std::function<int(bool whole)> conclude,
                                                std::function<void()> whenCancelled)
{
    struct Walk {
        quint64 generation = 0;
        std::vector<int> order;
        bool haveOrder = false;
        bool gone = false;
        size_t next = 0;
    };
    auto walk = std::make_shared<Walk>();
    walk->generation = m_pages.generation();
    // Goes as far as the ready pages and a slice of time allow.
    const auto advance = [this, walk, makeOrder = std::move(makeOrder),
                          visit = std::move(visit)]() -> PageWalk::Step {
        QElapsedTimer slice;
        slice.start();
        if (m_pages.generation() != walk->generation) {
            walk->gone = true;
            return PageWalk::Step::Over;
        }
        if (!walk->haveOrder) {
            const int total = m_pages.pageCount();
            if (total < 0)
                return PageWalk::Step::Waiting;
            walk->order = makeOrder(total);
            walk->haveOrder = true;
        }
        std::vector<int> &order = walk->order;
        while (walk->next < order.size()) {
            const std::shared_ptr<const IndexedPage> page = m_pages.page(order[walk->next]);
            if (!page)
                return PageWalk::Step::Waiting;
            m_outcome.coveredTruncated = m_outcome.coveredTruncated || page->text.truncated();
            if (visit(walk->next, order[walk->next], *page)) {
                walk->next = order.size();
                return PageWalk::Step::Over;
            }
            ++walk->next;
            if (walk->next < order.size() && slice.hasExpired(SliceMs))
                return PageWalk::Step::Busy;
        }
        return PageWalk::Step::Over;
    };
    const auto percent = [walk] {
        return walk->order.empty() ? 0 : int(std::min<size_t>(99, walk->next * 100 / walk->order.size()));
    };
    auto job = std::make_shared<PageWalk>(
        advance, percent, [walk, conclude = std::move(conclude)] { return conclude(!walk->gone); },
        [this, whenCancelled = std::move(whenCancelled)] {
            m_outcome.cancelled = true;
            if (whenCancelled)
                whenCancelled();
        });
    m_walk = job;
    job->go();
    return job;
}

std::shared_ptr<LongWork> TextSearch::answered(std::function<int()> conclude)
{
    auto job = std::make_shared<PageWalk>([] { return PageWalk::Step::Over; }, [] { return 0; },
                                          std::move(conclude), std::function<void()>());
    job->go();
    return job;
}

std::shared_ptr<LongWork> TextSearch::findFrom(int startPage, std::function<size_t()> startPosition,
                                               std::function<int(const std::optional<SearchHit> &)> then,
                                               std::function<void()> whenCancelled)
{
    struct Find {
        std::optional<SearchHit> found;
        size_t position = 0;
    };
    auto find = std::make_shared<Find>();
    const auto makeOrder = [find, startPage, startPosition = std::move(startPosition)](int total) {
        find->position = startPosition();
        // The start page, the pages after it, the pages before it, and the start
        // page again from its top for hits above the starting position.
        std::vector<int> order;
        if (total <= 0)
            return order;
        const int first = std::clamp(startPage, 0, total - 1);
        for (int i = 0; i < total; ++i)
            order.push_back((first + i) % total);
        order.push_back(first);
        return order;
    };
    const auto visit = [this, find](size_t step, int page, const IndexedPage &text) {
        const std::optional<TextMatch> match =
            findFirst(text.normalized, m_query, step == 0 ? find->position : 0);
        if (match)
            find->found = SearchHit{page, *match};
        return bool(match);
    };
    return walkPages(makeOrder, visit,
                     [this, find, then = std::move(then)](bool whole) {
                         const std::optional<SearchHit> hit = whole ? find->found : std::nullopt;
                         if (hit)
                             m_current = hit;
                         return then(hit);
                     },
                     std::move(whenCancelled));
}

std::shared_ptr<LongWork> TextSearch::findText(const QString &text, int currentPage, HitThen then)
{
    stopWalk();
    m_outcome = SearchOutcome();
    if (text.isEmpty()) {
        m_query.clear();
        return answered([then = std::move(then)] { return then(std::nullopt); });
    }
    const auto startPosition = [this, text, currentPage]() -> size_t {
        const std::u16string query = normalizeQuery(text);
        const bool sameQuery = query == m_query;
        m_query = query;
        if (!m_current || m_current->page != currentPage)
            return 0;
        // A new text may match where the current hit stands; the same text goes on past it.
        return sameQuery ? m_current->match.end : m_current->match.begin;
    };
    return findFrom(currentPage, startPosition, std::move(then), [this] { forgetSearch(); });
}

std::shared_ptr<LongWork> TextSearch::findNext(int currentPage, HitThen then)
{
    stopWalk();
    m_outcome = SearchOutcome();
    if (m_query.empty())
        return answered([then = std::move(then)] { return then(std::nullopt); });
    const size_t position = m_current ? m_current->match.end : 0;
    return findFrom(m_current ? m_current->page : currentPage, [position] { return position; },
                    std::move(then), {});
}

std::shared_ptr<LongWork> TextSearch::findPrevious(int currentPage, HitThen then)
{
    stopWalk();
    m_outcome = SearchOutcome();
    if (m_query.empty())
        return answered([then] { return then(std::nullopt); });
    const int startPage = m_current ? m_current->page : currentPage;
    const size_t before = m_current ? m_current->match.begin : std::u16string::npos;
    const auto makeOrder = [startPage](int total) {
        // The start page, the pages before it, the pages after it from the last
        // one back, and the start page again for hits below the starting position.
        std::vector<int> order;
        if (total <= 0)
            return order;
        const int first = std::clamp(startPage, 0, total - 1);
        for (int i = 0; i < total; ++i)
            order.push_back((first - i + total) % total);
        order.push_back(first);
        return order;
    };
    auto found = std::make_shared<std::optional<SearchHit>>();
    const auto visit = [this, found, before](size_t step, int page, const IndexedPage &text) {
        for (const TextMatch &match : findAll(text.normalized, m_query))
            if (step != 0 || match.begin < before)
                *found = SearchHit{page, match};
        return found->has_value();
    };
    return walkPages(makeOrder, visit, [this, found, then](bool whole) {
        if (!whole || !*found)
            return then(std::nullopt);
        m_current = *found;
        return then(m_current);
    });
}

std::vector<TextMatch> TextSearch::hitsOn(int page) const
{
    const std::shared_ptr<const IndexedPage> text = m_query.empty() ? nullptr : m_pages.page(page);
    return text ? findAll(text->normalized, m_query) : std::vector<TextMatch>{};
}

std::shared_ptr<LongWork> TextSearch::searchAll(const QString &text, FoundThen then)
{
    stopWalk();
    m_outcome = SearchOutcome();
    m_current.reset();
    if (text.isEmpty()) {
        m_query.clear();
        return answered([then = std::move(then)] { return then(FoundHits()); });
    }
    auto found = std::make_shared<FoundHits>();
    const auto makeOrder = [this, text](int total) {
        m_query = normalizeQuery(text);
        std::vector<int> order(size_t(std::max(total, 0)));
        for (int i = 0; i < total; ++i)
            order[size_t(i)] = i;
        return order;
    };
    const auto visit = [this, found](size_t, int page, const IndexedPage &indexed) {
        const std::vector<TextMatch> matches = findAll(indexed.normalized, m_query);
        found->total += matches.size();
        for (const TextMatch &match : matches) {
            if (found->listed.size() == MaxListedHits)
                break;
            found->listed.push_back(SearchHit{page, match});
        }
        return false;
    };
    return walkPages(makeOrder, visit,
                     [found, then = std::move(then)](bool whole) {
                         return then(whole ? std::move(*found) : FoundHits());
                     },
                     [this] { forgetSearch(); });
}

ListedHit TextSearch::listed(const SearchHit &hit) const
{
    ListedHit listed;
    listed.hit = hit;
    const std::shared_ptr<const IndexedPage> page = m_pages.page(hit.page);
    if (!page)
        return listed;
    // A list asks for the hits of one page after another: the page's text is
    // expanded once for all of them.
    if (m_listedPage != hit.page || m_listedGeneration != m_pages.generation()) {
        m_listedText = page->text.expand();
        m_listedPage = hit.page;
        m_listedGeneration = m_pages.generation();
    }
    const PageText &text = m_listedText;
    const TextRange &r = hit.match.chars;
    listed.before = oneLine(text.textOf({std::max(r.begin - ContextChars, 0), r.begin},
                                        PageText::LineJoin::Flow));
    listed.text = oneLine(text.textOf(r, PageText::LineJoin::Flow));
    listed.after = oneLine(text.textOf({r.end, r.end + ContextChars}, PageText::LineJoin::Flow));
    return listed;
}
