#include "viewer/pdf/text/FoldedText.h"

#include <algorithm>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Codes 0 and 1 are the marks, so a mark is any code below 2.
const size_t AlphabetSize = 256;

} // namespace

FoldedText::FoldedText(const std::u16string &units)
{
    // Each unit's code, -1 while it has none; reset after each page, so a long book
    // costs one table, not one a page.
    thread_local std::vector<short> codeOf(0x10000, -1);
    std::u16string alphabet{SoftBreak, HyphenBreak};
    codeOf[SoftBreak] = 0;
    codeOf[HyphenBreak] = 1;
    std::string narrow;
    narrow.reserve(units.size());
    for (const char16_t unit : units) {
        if (codeOf[unit] < 0) {
            if (alphabet.size() == AlphabetSize)
                break;
            codeOf[unit] = short(alphabet.size());
            alphabet.push_back(unit);
        }
        narrow.push_back(char(static_cast<unsigned char>(codeOf[unit])));
    }
    for (const char16_t unit : alphabet)
        codeOf[unit] = -1;
    if (narrow.size() == units.size() && !units.empty()) {
        m_narrow = std::move(narrow);
        m_alphabet = std::move(alphabet);
        m_alphabet.shrink_to_fit();
    } else {
        m_wide = units;
    }
}

size_t FoldedText::bytes() const
{
    return m_wide.capacity() * sizeof(char16_t) + m_narrow.capacity()
        + m_alphabet.capacity() * sizeof(char16_t);
}

FoldedText::Pair FoldedText::pair(char16_t first, std::optional<char16_t> second) const
{
    // A mark has a code of its own, below 2.
    const auto codeOf = [this](char16_t unit) -> int {
        const size_t at = m_alphabet.find(unit, 2);
        return at == std::u16string::npos ? -1 : int(at);
    };
    Pair pair{first, second};
    if (isNarrow()) {
        pair.firstCode = codeOf(first);
        pair.secondCode = second ? codeOf(*second) : -1;
    }
    return pair;
}

size_t FoldedText::findPair(size_t pos, const Pair &pair) const
{
    return m_narrow.empty() ? findWide(pos, pair) : findNarrow(pos, pair);
}

size_t FoldedText::findWide(size_t pos, const Pair &pair) const
{
    const size_t size = m_wide.size();
    const char16_t *units = m_wide.data();
    const char16_t first = pair.first;
    const std::optional<char16_t> second = pair.second;
#ifdef __SSE2__
    const __m128i firsts = _mm_set1_epi16(short(first));
    const __m128i seconds = _mm_set1_epi16(short(second.value_or(0)));
    const __m128i markBits = _mm_set1_epi16(short(0xFFFE));
    const __m128i marks = _mm_set1_epi16(short(SoftBreak));
    // Each step reads eight units and, for the second test, the one after them.
    for (; pos + 9 <= size; pos += 8) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i *>(units + pos));
        __m128i hits = _mm_cmpeq_epi16(here, firsts);
        if (second) {
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(units + pos + 1));
            hits = _mm_and_si128(hits, _mm_or_si128(_mm_cmpeq_epi16(next, seconds),
                                                    _mm_cmpeq_epi16(_mm_and_si128(next, markBits), marks)));
        }
        if (const int mask = _mm_movemask_epi8(hits))
            return pos + size_t(__builtin_ctz(unsigned(mask))) / 2;
    }
#endif
    for (; pos < size; ++pos) {
        if (units[pos] != first)
            continue;
        if (!second || (pos + 1 < size && (units[pos + 1] == *second || isMark(units[pos + 1]))))
            return pos;
    }
    return std::u16string::npos;
}

size_t FoldedText::findNarrow(size_t pos, const Pair &pair) const
{
    // A unit the page does not use is not on it.
    if (pair.firstCode < 0)
        return std::u16string::npos;
    const bool second = pair.second.has_value();
    const size_t size = m_narrow.size();
    const unsigned char *codes = reinterpret_cast<const unsigned char *>(m_narrow.data());
#ifdef __SSE2__
    const __m128i firsts = _mm_set1_epi8(char(pair.firstCode));
    // With no code for the second unit, only a mark can follow.
    const __m128i seconds = _mm_set1_epi8(char(std::max(pair.secondCode, 0)));
    const __m128i secondKnown = _mm_set1_epi8(char(pair.secondCode < 0 ? 0 : 0xFF));
    const __m128i markBits = _mm_set1_epi8(char(0xFE));
    const __m128i zero = _mm_setzero_si128();
    // Each step reads sixteen units and, for the second test, the one after them.
    for (; pos + 17 <= size; pos += 16) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i *>(codes + pos));
        __m128i hits = _mm_cmpeq_epi8(here, firsts);
        if (second) {
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(codes + pos + 1));
            const __m128i isSecond = _mm_and_si128(_mm_cmpeq_epi8(next, seconds), secondKnown);
            const __m128i isMark = _mm_cmpeq_epi8(_mm_and_si128(next, markBits), zero);
            hits = _mm_and_si128(hits, _mm_or_si128(isSecond, isMark));
        }
        if (const int mask = _mm_movemask_epi8(hits))
            return pos + size_t(__builtin_ctz(unsigned(mask)));
    }
#endif
    for (; pos < size; ++pos) {
        if (codes[pos] != pair.firstCode)
            continue;
        if (!second
            || (pos + 1 < size && (int(codes[pos + 1]) == pair.secondCode || codes[pos + 1] < 2)))
            return pos;
    }
    return std::u16string::npos;
}
