#include "viewer/pdf/text/TextSearch.h"

#include "ui/ModalUi.h"
#include "viewer/pdf/text/PageSource.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include <algorithm>

namespace {

const int ContextChars = 20;

// How long a search holds the GUI thread before it lets the window paint.
const qint64 SliceMs = 12;

QString oneLine(QString text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return text.replace(blanks, QStringLiteral(" "));
}

} // namespace

TextSearch::TextSearch(const PageSource &pages, ModalUi &ui, QWidget *dialogParent)
    : m_pages(pages), m_ui(ui), m_dialogParent(dialogParent)
{
}

void TextSearch::reset()
{
    forgetSearch();
    m_outcome = SearchOutcome();
}

void TextSearch::forgetSearch()
{
    m_query.clear();
    m_current.reset();
}

bool TextSearch::walkPages(const std::function<std::vector<int>(int)> &makeOrder,
                           const PageVisit &visit)
{
    const quint64 generation = m_pages.generation();
    std::vector<int> order;
    bool haveOrder = false;
    bool gone = false;
    size_t next = 0;
    // Goes as far as the ready pages and a slice of time allow; true when the walk is over.
    const auto advance = [&]() -> bool {
        QElapsedTimer slice;
        slice.start();
        if (m_pages.generation() != generation) {
            gone = true;
            return true;
        }
        if (!haveOrder) {
            const int total = m_pages.pageCount();
            if (total < 0)
                return false;
            order = makeOrder(total);
            haveOrder = true;
        }
        while (next < order.size()) {
            const std::shared_ptr<const IndexedPage> page = m_pages.page(order[next]);
            if (!page)
                return false;
            m_outcome.coveredTruncated = m_outcome.coveredTruncated || page->text.truncated();
            if (visit(next, order[next], *page)) {
                next = order.size();
                return true;
            }
            ++next;
            if (next < order.size() && slice.hasExpired(SliceMs))
                return false;
        }
        return true;
    };
    if (advance())
        return !gone;
    bool over = false;
    const bool waited = m_ui.waitWithProgress(
        m_dialogParent, QStringLiteral("正在检索，请稍候……"), [&]() -> int {
            over = over || advance();
            if (over)
                return 100;
            return order.empty() ? 0 : int(std::min<size_t>(99, next * 100 / order.size()));
        });
    m_outcome.cancelled = !waited;
    return waited && over && !gone;
}

std::optional<SearchHit> TextSearch::findFrom(int startPage,
                                              const std::function<size_t()> &startPosition)
{
    std::optional<SearchHit> found;
    size_t position = 0;
    const auto makeOrder = [&](int total) {
        position = startPosition();
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
    const auto visit = [&](size_t step, int page, const IndexedPage &text) {
        const std::optional<TextMatch> match =
            findFirst(text.normalized, m_query, step == 0 ? position : 0);
        if (match)
            found = SearchHit{page, *match};
        return bool(match);
    };
    if (!walkPages(makeOrder, visit))
        return std::nullopt;
    return found;
}

std::optional<SearchHit> TextSearch::findText(const QString &text, int currentPage)
{
    m_outcome = SearchOutcome();
    if (text.isEmpty()) {
        m_query.clear();
        return std::nullopt;
    }
    const auto startPosition = [&]() -> size_t {
        const std::u16string query = normalizeQuery(text);
        const bool sameQuery = query == m_query;
        m_query = query;
        if (!m_current || m_current->page != currentPage)
            return 0;
        // A new text may match where the current hit stands; the same text goes on past it.
        return sameQuery ? m_current->match.end : m_current->match.begin;
    };
    const std::optional<SearchHit> hit = findFrom(currentPage, startPosition);
    if (hit)
        m_current = hit;
    else if (m_outcome.cancelled)
        forgetSearch();
    return hit;
}

std::optional<SearchHit> TextSearch::findNext(int currentPage)
{
    m_outcome = SearchOutcome();
    if (m_query.empty())
        return std::nullopt;
    const size_t position = m_current ? m_current->match.end : 0;
    const std::optional<SearchHit> hit =
        findFrom(m_current ? m_current->page : currentPage, [position] { return position; });
    if (hit)
        m_current = hit;
    return hit;
}

std::optional<SearchHit> TextSearch::findPrevious(int currentPage)
{
    m_outcome = SearchOutcome();
    if (m_query.empty())
        return std::nullopt;
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
    std::optional<SearchHit> found;
    const auto visit = [&](size_t step, int page, const IndexedPage &text) {
        for (const TextMatch &match : findAll(text.normalized, m_query))
            if (step != 0 || match.begin < before)
                found = SearchHit{page, match};
        return bool(found);
    };
    if (!walkPages(makeOrder, visit) || !found)
        return std::nullopt;
    m_current = found;
    return found;
}

std::vector<TextMatch> TextSearch::hitsOn(int page) const
{
    const std::shared_ptr<const IndexedPage> text = m_query.empty() ? nullptr : m_pages.page(page);
    return text ? findAll(text->normalized, m_query) : std::vector<TextMatch>{};
}

FoundHits TextSearch::searchAll(const QString &text)
{
    m_outcome = SearchOutcome();
    m_current.reset();
    FoundHits found;
    if (text.isEmpty()) {
        m_query.clear();
        return found;
    }
    const auto makeOrder = [&](int total) {
        m_query = normalizeQuery(text);
        std::vector<int> order(size_t(std::max(total, 0)));
        for (int i = 0; i < total; ++i)
            order[size_t(i)] = i;
        return order;
    };
    const auto visit = [&](size_t, int page, const IndexedPage &indexed) {
        const std::vector<TextMatch> matches = findAll(indexed.normalized, m_query);
        found.total += matches.size();
        for (const TextMatch &match : matches) {
            if (found.listed.size() == MaxListedHits)
                break;
            found.listed.push_back(SearchHit{page, match});
        }
        return false;
    };
    if (!walkPages(makeOrder, visit)) {
        found = FoundHits();
        if (m_outcome.cancelled)
            forgetSearch();
    }
    return found;
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
