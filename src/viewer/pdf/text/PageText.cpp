#include "viewer/pdf/text/PageText.h"

#include "viewer/pdf/text/CharClass.h"

#include <algorithm>
#include <string>

int PageText::lineOf(int index) const
{
    if (index < 0 || index >= charCount())
        return -1;
    auto after = std::upper_bound(lines.begin(), lines.end(), index,
                                  [](int i, const TextLine &line) { return i < line.first; });
    return int(after - lines.begin()) - 1;
}

std::vector<QRectF> PageText::rectsFor(TextRange range) const
{
    std::vector<QRectF> rects;
    range.begin = std::max(range.begin, 0);
    range.end = std::min(range.end, charCount());
    if (range.isEmpty() || boxes.size() != codes.size())
        return rects;
    for (int l = lineOf(range.begin); l < int(lines.size()) && lines[size_t(l)].first < range.end; ++l) {
        const TextLine &line = lines[size_t(l)];
        const int from = std::max(range.begin, line.first);
        const int to = std::min(range.end, line.first + line.count);
        QRectF piece;
        for (int i = from; i < to; ++i)
            piece = piece.united(boxes[size_t(i)].rect());
        if (!piece.isNull())
            rects.push_back(piece);
    }
    return rects;
}

bool PageText::continuesLine(int prev, int next) const
{
    if (boxes.size() != codes.size())
        return false;
    const auto bounds = [this](int l) {
        const TextLine &line = lines[size_t(l)];
        QRectF rect;
        for (int i = line.first; i < line.first + line.count; ++i)
            rect = rect.united(boxes[size_t(i)].rect());
        return rect;
    };
    const QRectF a = bounds(prev);
    const QRectF b = bounds(next);
    const double height = std::min(a.height(), b.height());
    const double overlap = std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top());
    return height > 0 && overlap >= height / 2 && b.left() >= a.right() - height / 2;
}

namespace {

// Appends codes [from, to), leaving out blank runs that sit between two Chinese
// characters; at[i - base] (when at is given) is where character i went in out.
void appendPiece(std::u32string &out, const std::vector<char32_t> &codes, int from, int to,
                 size_t *at, int base)
{
    for (int i = from; i < to; ++i) {
        const char32_t c = codes[size_t(i)];
        if (CharClass::isBlank(c) && !out.empty() && CharClass::isCjk(out.back())) {
            int next = i;
            while (next < to && CharClass::isBlank(codes[size_t(next)]))
                ++next;
            if (next < to && CharClass::isCjk(codes[size_t(next)])) {
                for (; at && i < next; ++i)
                    at[i - base] = out.size();
                i = next - 1;
                continue;
            }
        }
        if (at)
            at[i - base] = out.size();
        out.push_back(c);
    }
}

// Code point positions in out -> UTF-16 positions in the text made of it.
std::vector<int> utf16Starts(const std::u32string &out, const std::vector<size_t> &at)
{
    std::vector<int> units(out.size() + 1, 0);
    for (size_t k = 0; k < out.size(); ++k)
        units[k + 1] = units[k] + (out[k] > 0xFFFF ? 2 : 1);
    std::vector<int> starts;
    starts.reserve(at.size());
    for (size_t position : at)
        starts.push_back(units[std::min(position, out.size())]);
    return starts;
}

} // namespace

QString PageText::textOf(TextRange range, LineJoin join, std::vector<int> *starts) const
{
    range.begin = std::max(range.begin, 0);
    range.end = std::min(range.end, charCount());
    if (range.isEmpty()) {
        if (starts)
            starts->assign(1, 0);
        return QString();
    }
    std::u32string out;
    // Where each character of the range went; any a line does not hold, with the next.
    std::vector<size_t> at(starts ? size_t(range.end - range.begin) + 1 : 0, size_t(-1));
    int previous = -1; // the line last appended
    for (int l = lineOf(range.begin); l < int(lines.size()) && lines[size_t(l)].first < range.end; ++l) {
        const TextLine &line = lines[size_t(l)];
        const int from = std::max(range.begin, line.first);
        const int to = std::min(range.end, line.first + line.count);
        if (from >= to)
            continue;
        if (previous >= 0) {
            if (join == LineJoin::Newline && !continuesLine(previous, l)) {
                out.push_back(U'\n');
            } else {
                const char32_t next = codes[size_t(from)];
                const char32_t prev = out.back();
                const bool noBlank = CharClass::isCjk(prev) || CharClass::isCjk(next)
                    || CharClass::isBlank(prev) || CharClass::isBlank(next);
                if (!noBlank)
                    out.push_back(U' ');
            }
        }
        previous = l;
        appendPiece(out, codes, from, to, starts ? at.data() : nullptr, range.begin);
    }
    if (starts) {
        at.back() = out.size();
        for (size_t k = at.size() - 1; k-- > 0;)
            at[k] = std::min(at[k], at[k + 1]);
        *starts = utf16Starts(out, at);
    }
    return QString::fromUcs4(out.data(), qsizetype(out.size()));
}
