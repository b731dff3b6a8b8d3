// Search matching on hostile page text: any code points (beyond Unicode too), any line
// structure, any query. Hits must stay inside the page, in order and without overlaps,
// and a stretch of the page's own text must always be found.
//
// Input: one flag byte, then the text: UTF-8 when the flag's low bit is clear, else raw
// 32-bit little-endian code points. '\n' separates lines. A NUL separates the page from
// the query; without one the query is a stretch of the page chosen by the flag byte.
#include "viewer/pdf/text/CharClass.h"
#include "viewer/pdf/text/TextMatcher.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

std::u32string decode(const uint8_t *data, size_t size, bool raw)
{
    std::u32string codes;
    if (!raw) {
        const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
        for (const uint c : text.toUcs4())
            codes.push_back(char32_t(c));
        return codes;
    }
    for (size_t i = 0; i + 4 <= size; i += 4) {
        uint32_t c;
        std::memcpy(&c, data + i, 4);
        codes.push_back(char32_t(c));
    }
    return codes;
}

PageText pageOf(const std::u32string &codes)
{
    PageText page;
    page.size = QSizeF(600, 800);
    int first = 0;
    float y = 10;
    for (const char32_t c : codes) {
        if (c == U'\n') {
            page.lines.push_back(TextLine{first, page.charCount() - first, 0});
            first = page.charCount();
            y += 12;
            continue;
        }
        const float x = float(page.charCount() - first) * 6;
        page.codes.push_back(c);
        page.boxes.push_back(CharBox{x, y, x + 6, y + 10});
    }
    page.lines.push_back(TextLine{first, page.charCount() - first, 0});
    return page;
}

bool isBlank(char32_t c)
{
    return c == U'\n' || CharClass::isBlank(c);
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkHits(const PageText &page, const NormalizedText &norm, const std::u16string &query)
{
    check(norm.charStart.size() == norm.text.size() + 1);
    for (size_t i = 0; i < norm.charStart.size(); ++i) {
        check(norm.charStart[i] >= 0 && norm.charStart[i] <= page.charCount());
        check(i == 0 || norm.charStart[i] >= norm.charStart[i - 1]);
    }
    const std::vector<TextMatch> hits = findAll(norm, query);
    size_t lastEnd = 0;
    int lastChar = 0;
    for (const TextMatch &hit : hits) {
        check(hit.begin >= lastEnd && hit.begin < hit.end && hit.end <= norm.text.size());
        check(hit.chars.begin >= lastChar && hit.chars.begin <= hit.chars.end);
        check(hit.chars.end <= page.charCount());
        lastEnd = hit.end;
        lastChar = hit.chars.end;
        page.rectsFor(hit.chars);
        page.textOf(hit.chars, PageText::LineJoin::Flow);
    }
    const std::optional<TextMatch> first = findFirst(norm, query);
    check(first.has_value() == !hits.empty());
    check(!first || (first->begin == hits[0].begin && first->chars == hits[0].chars));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t flag = data[0];
    const std::u32string codes = decode(data + 1, size - 1, flag & 1);
    const size_t separator = codes.find(U'\0');
    const std::u32string pageCodes = codes.substr(0, separator);
    const PageText page = pageOf(pageCodes);
    const NormalizedText norm = normalizePage(page);

    if (separator != std::u32string::npos) {
        const std::u32string query = codes.substr(separator + 1);
        checkHits(page, norm, normalizeQuery(QString::fromUcs4(query.data(), qsizetype(query.size()))));
        return 0;
    }
    if (pageCodes.empty())
        return 0;
    // A stretch of the page that starts and ends on a character that is not blank.
    const size_t from = (flag >> 1) % pageCodes.size();
    const size_t length = 1 + (flag >> 4) % 12;
    std::u32string stretch = pageCodes.substr(from, length);
    while (!stretch.empty() && isBlank(stretch.back()))
        stretch.pop_back();
    if (stretch.empty() || isBlank(stretch.front()))
        return 0;
    // Typed or pasted, a query holds Unicode characters only.
    for (char32_t &c : stretch) {
        if (c > 0x10FFFF || QChar::isSurrogate(c))
            c = 0xFFFD;
    }
    const std::u16string query =
        normalizeQuery(QString::fromUcs4(stretch.data(), qsizetype(stretch.size())));
    checkHits(page, norm, query);
    check(findFirst(norm, query).has_value());
    return 0;
}
