#pragma once
// A page's folded text as the matcher reads it: UTF-16 units, kept in one byte each
// when the page uses few enough different units (a page of Latin text, even with a
// line of Chinese in it), through the page's own alphabet; else in UTF-16.

#include <cstddef>
#include <optional>
#include <string>

class FoldedText {
public:
    // The two marks the matcher puts between words (see NormalizedText): noncharacters
    // no folded character is left as.
    static constexpr char16_t SoftBreak = 0xFDD0;
    static constexpr char16_t HyphenBreak = 0xFDD1;
    static bool isMark(char16_t unit) { return (unit & 0xFFFE) == SoftBreak; }

    FoldedText() = default;
    explicit FoldedText(const std::u16string &units);

    size_t size() const { return m_narrow.empty() ? m_wide.size() : m_narrow.size(); }
    char16_t operator[](size_t index) const
    {
        return m_narrow.empty() ? m_wide[index]
                                : m_alphabet[static_cast<unsigned char>(m_narrow[index])];
    }
    // Two units to look for: `first`, then `second` or a mark (none for a one-unit
    // query), with their codes in this text.
    struct Pair {
        char16_t first = 0;
        std::optional<char16_t> second;
        int firstCode = -1; // -1: the page does not use the unit
        int secondCode = -1;
    };
    Pair pair(char16_t first, std::optional<char16_t> second) const;
    // The first position at or after pos whose unit is the pair's first one and,
    // unless its second is none, is followed by that or by a mark; npos if none. What a
    // search spends its time in: it reads many units at a time where the processor can.
    size_t findPair(size_t pos, const Pair &pair) const;

    // True when the units are kept in one byte each.
    bool isNarrow() const { return !m_narrow.empty(); }
    size_t bytes() const;

private:
    size_t findWide(size_t pos, const Pair &pair) const;
    size_t findNarrow(size_t pos, const Pair &pair) const;

    std::u16string m_wide;
    std::string m_narrow;     // codes into m_alphabet: 0 and 1 the marks, then the rest
    std::u16string m_alphabet;
};
