#include "viewer/pdf/text/TextLayer.h"

#include "viewer/ViewerControl.h"
#include "viewer/pdf/PageView.h"
#include "viewer/pdf/text/SearchResultsPane.h"

TextLayer::TextLayer(PageView &view, ModalUi &ui, QObject *parent)
    : QObject(parent), m_view(view), m_search(m_index, ui, &view),
      m_results(new SearchResultsPane)
{
    m_results->hide();
    connect(m_results, &SearchResultsPane::hitChosen, this, [this](const SearchHit &hit) {
        m_search.setCurrentHit(hit);
        showHit(hit);
    });
    connect(&view, &PageView::currentPageChanged, this,
            [this](int page) { m_index.prioritize(page); });
    connect(&view, &PageView::textPressed, this, &TextLayer::pressed);
    connect(&view, &PageView::textMoved, this, &TextLayer::moved);
    connect(&view, &PageView::textReleased, this, &TextLayer::moved);
    connect(&view, &PageView::textDoubleClicked, this, &TextLayer::doubleClicked);
}

TextLayer::~TextLayer()
{
    // The pane is deleted by the widget it was placed in; unplaced, it is ours.
    if (m_results && !m_results->parent())
        delete m_results.data();
}

void TextLayer::documentOpened(const QString &path, const QString &userPassword,
                               const QString &ownerPassword)
{
    documentClosed();
    m_index.start(path, userPassword, ownerPassword, std::max(m_view.currentPage(), 0));
}

void TextLayer::documentClosed()
{
    m_index.stop();
    m_search.reset();
    m_selection.clear();
    m_allHits.clear();
    if (m_results) {
        m_results->clear();
        m_results->hide();
    }
    m_view.setHighlights(PageView::HighlightLayer::Selection, {});
    m_view.setHighlights(PageView::HighlightLayer::SearchHits, {});
}

int TextLayer::FindText(const QString &text)
{
    if (m_view.currentPage() < 0)
        return 0;
    const std::optional<SearchHit> hit = m_search.findText(text, m_view.currentPage());
    if (!hit)
        return m_search.lastOutcome().cancelled ? ViewerControl::SearchCancelled : 0;
    m_allHits.clear();
    showHit(*hit);
    return 1;
}

void TextLayer::FindNext()
{
    if (m_view.currentPage() < 0)
        return;
    if (const std::optional<SearchHit> hit = m_search.findNext(m_view.currentPage()))
        showHit(*hit);
}

int TextLayer::SearchAll(const QString &text)
{
    if (m_view.currentPage() < 0)
        return 0;
    const std::vector<ListedHit> hits = m_search.searchAll(text);
    const SearchOutcome &outcome = m_search.lastOutcome();
    m_allHits.clear();
    for (const ListedHit &listed : hits)
        m_allHits[listed.hit.page] += rectsOf(listed.hit.page, listed.hit.match.chars);
    m_view.setHighlights(PageView::HighlightLayer::SearchHits, m_allHits);
    m_results->setHits(hits, outcome.coveredTruncated);
    // Without hits the list stays up only to say that some text was not searched.
    if (outcome.cancelled || (hits.empty() && !outcome.coveredTruncated))
        m_results->hide();
    else
        m_results->reveal();
    return outcome.cancelled ? ViewerControl::SearchCancelled : int(hits.size());
}

void TextLayer::showHit(const SearchHit &hit)
{
    const QVector<QRectF> rects = rectsOf(hit.page, hit.match.chars);
    if (m_allHits.isEmpty())
        m_view.setHighlights(PageView::HighlightLayer::SearchHits, {{hit.page, rects}});
    QRectF area;
    for (const QRectF &rect : rects)
        area = area.united(rect);
    m_view.scrollToPageRect(hit.page, area);
}

QVector<QRectF> TextLayer::rectsOf(int page, TextRange range) const
{
    QVector<QRectF> out;
    if (const std::shared_ptr<const IndexedPage> indexed = m_index.page(page)) {
        for (const QRectF &rect : indexed->text.rectsFor(range))
            out.append(rect);
    }
    return out;
}

TextSelection::PageLookup TextLayer::pageLookup() const
{
    // Pages stay alive in the index as long as its run, which outlasts this call.
    return [this](int page) -> const PageText * {
        const std::shared_ptr<const IndexedPage> indexed = m_index.page(page);
        return indexed ? &indexed->text : nullptr;
    };
}

void TextLayer::pressed(const PagePoint &at)
{
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
}
