#include "viewer/pdf/text/PageText.h"

#include "viewer/pdf/text/CharClass.h"

#include <algorithm>
#include <string>

void PageText::dropText()
{
    if (codes.empty())
        return;
    codes = {};
    boxes = {};
    lines = {};
    truncated = true;
}

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
    if (range.isEmpty())
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

namespace {

// Appends codes [from, to), leaving out blank runs that sit between two Chinese characters.
void appendPiece(std::u32string &out, const std::vector<char32_t> &codes, int from, int to)
{
    for (int i = from; i < to; ++i) {
        const char32_t c = codes[size_t(i)];
        if (CharClass::isBlank(c) && !out.empty() && CharClass::isCjk(out.back())) {
            int next = i;
            while (next < to && CharClass::isBlank(codes[size_t(next)]))
                ++next;
            if (next < to && CharClass::isCjk(codes[size_t(next)])) {
                i = next - 1;
                continue;
            }
        }
        out.push_back(c);
    }
}

} // namespace

QString PageText::textOf(TextRange range, LineJoin join) const
{
    range.begin = std::max(range.begin, 0);
    range.end = std::min(range.end, charCount());
    if (range.isEmpty())
        return QString();
    std::u32string out;
    bool first = true;
    for (int l = lineOf(range.begin); l < int(lines.size()) && lines[size_t(l)].first < range.end; ++l) {
        const TextLine &line = lines[size_t(l)];
        const int from = std::max(range.begin, line.first);
        const int to = std::min(range.end, line.first + line.count);
        if (from >= to)
            continue;
        if (!first) {
            if (join == LineJoin::Newline) {
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
        first = false;
        appendPiece(out, codes, from, to);
    }
    return QString::fromUcs4(out.data(), qsizetype(out.size()));
}
