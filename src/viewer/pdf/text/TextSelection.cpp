#include "viewer/pdf/text/TextSelection.h"

#include "viewer/pdf/text/CharClass.h"


#include <algorithm>
#include <cmath>
#include <limits>

namespace {

double distanceTo(const QRectF &rect, QPointF p)
{
    const double dx = std::max({rect.left() - p.x(), 0.0, p.x() - rect.right()});
    const double dy = std::max({rect.top() - p.y(), 0.0, p.y() - rect.bottom()});
    return std::hypot(dx, dy);
}

QRectF lineRect(const PageText &page, const TextLine &line)
{
    QRectF rect;
    for (int i = line.first; i < line.first + line.count; ++i)
        rect = rect.united(page.boxes[size_t(i)].rect());
    return rect;
}

} // namespace

int TextSelection::caretAt(const PageText &page, QPointF pos)
{
    const TextLine *nearest = nullptr;
    double best = std::numeric_limits<double>::max();
    QRectF all;
    for (const TextLine &line : page.lines) {
        if (line.count == 0)
            continue;
        const QRectF rect = lineRect(page, line);
        all = all.united(rect);
        const double d = distanceTo(rect, pos);
        if (d < best) {
            best = d;
            nearest = &line;
        }
    }
    // Dragging past the text above or below takes the page's text to its start or end.
    if (!nearest || pos.y() < all.top())
        return 0;
    if (pos.y() > all.bottom())
        return page.charCount();
    for (int i = nearest->first; i < nearest->first + nearest->count; ++i) {
        if (page.boxes[size_t(i)].rect().center().x() > pos.x())
            return i;
    }
    return nearest->first + nearest->count;
}

TextRange TextSelection::wordAt(const PageText &page, QPointF pos)
{
    for (int i = 0; i < page.charCount(); ++i) {
        if (!page.boxes[size_t(i)].rect().contains(pos))
            continue;
        const char32_t c = page.codes[size_t(i)];
        if (CharClass::isBlank(c))
            return {};
        if (!CharClass::isWordChar(c))
            return {i, i + 1};
        const TextLine &line = page.lines[size_t(page.lineOf(i))];
        int begin = i;
        int end = i + 1;
        while (begin > line.first && CharClass::isWordChar(page.codes[size_t(begin - 1)]))
            --begin;
        while (end < line.first + line.count && CharClass::isWordChar(page.codes[size_t(end)]))
            ++end;
        return {begin, end};
    }
    return {};
}

void TextSelection::select(const PageLookup &pages, TextPoint anchor, TextPoint focus)
{
    if (focus.page < anchor.page)
        std::swap(anchor, focus);
    std::vector<PageRange> ranges;
    for (int p = anchor.page; p <= focus.page; ++p) {
        const PageText *page = pages(p);
        if (!page)
            continue;
        int begin = p == anchor.page ? caretAt(*page, anchor.pos) : 0;
        int end = p == focus.page ? caretAt(*page, focus.pos) : page->charCount();
        if (anchor.page == focus.page && end < begin)
            std::swap(begin, end);
        ranges.push_back(PageRange{p, TextRange{begin, end}});
    }
    setRanges(pages, std::move(ranges));
}

void TextSelection::selectWord(const PageLookup &pages, TextPoint at)
{
    std::vector<PageRange> ranges;
    if (const PageText *page = pages(at.page))
        ranges.push_back(PageRange{at.page, wordAt(*page, at.pos)});
    setRanges(pages, std::move(ranges));
}

void TextSelection::clear()
{
    m_ranges.clear();
    m_text.clear();
}

void TextSelection::setRanges(const PageLookup &pages, std::vector<PageRange> ranges)
{
    clear();
    for (PageRange &range : ranges) {
        if (range.range.isEmpty())
            continue;
        if (!m_ranges.empty())
            m_text += QLatin1Char('\n');
        m_text += pages(range.page)->textOf(range.range, PageText::LineJoin::Newline);
        m_ranges.push_back(range);
    }
}
