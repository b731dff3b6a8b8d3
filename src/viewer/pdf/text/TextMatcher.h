#pragma once
// Matching as a reader expects it, on text prepared once per page:
// - characters compare in their folded form (FoldingTable): without regard to case,
//   compatibility forms ("ﬁ", "①", full-width letters and digits) as their plain
//   letters, simplified, traditional and variant Chinese characters as one;
// - any run of blanks and line breaks in the page matches one blank of the query;
// - where Chinese text meets a blank or line break, the break may also vanish, so a
//   phrase typed without blanks matches across a line break;
// - a word hyphenated at the end of a line ("compu-" / "ter") matches without the
//   hyphen, or with it as typed.
// Pure functions, no Qt objects beyond QString input.

#include "viewer/pdf/text/CharStartMap.h"
#include "viewer/pdf/text/FoldedText.h"
#include "viewer/pdf/text/PageText.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

// A page's text folded for matching, in UTF-16 units, with a map back to its characters.
struct NormalizedText {
    // Marks, noncharacters that no folded page character or query is left as (they
    // fold to U+FFFD):
    // a blank or line-break run next to Chinese text, which matches a query blank or nothing;
    static constexpr char16_t SoftBreak = FoldedText::SoftBreak;
    // a hyphen ending a line inside a word with the break after it, which matches
    // nothing, or a query hyphen (and a blank after it).
    static constexpr char16_t HyphenBreak = FoldedText::HyphenBreak;

    FoldedText text;
    // Size text.size() + 1. A folded unit text[i] stands for character charStart[i]
    // (when a character folds to several units, each of them stands for it). A blank
    // run or break text[i] stands for characters [charStart[i], charStart[i + 1]); a
    // line break with no blank character stands for no character at all.
    CharStartMap charStart;

    size_t bytes() const { return text.bytes() + charStart.bytes(); }
};

NormalizedText normalizePage(const PageText &page);

// A query folded the same way, blank runs collapsed to one blank. Empty only for "".
std::u16string normalizeQuery(const QString &query);

// A hit: normalized positions [begin, end) and the characters they stand for.
struct TextMatch {
    size_t begin = 0;
    size_t end = 0;
    TextRange chars;
};

// The first hit that starts at or after normalized position `from`.
std::optional<TextMatch> findFirst(const NormalizedText &page, const std::u16string &query,
                                   size_t from = 0);
// Every hit, in order, without overlaps.
std::vector<TextMatch> findAll(const NormalizedText &page, const std::u16string &query);
