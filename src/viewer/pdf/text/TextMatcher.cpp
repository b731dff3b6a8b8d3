#include "viewer/pdf/text/TextMatcher.h"

#include "viewer/pdf/text/CharClass.h"
#include "viewer/pdf/text/FoldingTable.h"

#include <QList>

namespace {

// Hyphen-minus, soft hyphen, hyphen: what ends a line inside a word, and what a reader
// types or copies for it.
bool isHyphen(char32_t c)
{
    return c == U'-' || c == 0x00AD || c == 0x2010;
}

bool isAlphabeticLetter(char32_t c)
{
    return !CharClass::isCjk(c) && QChar::isLetter(c);
}

// True when the separator is one of the matcher's run marks, not a folded character.
bool isRun(char16_t c)
{
    return c == U' ' || c == NormalizedText::SoftBreak || c == NormalizedText::HyphenBreak;
}

// Appends c folded, in UTF-16, with the marks' code points turned to U+FFFD;
// returns the units added. scratch is reused from call to call.
int appendFolded(const FoldingTable &folding, char32_t c, std::u16string &out,
                 std::u32string &scratch)
{
    const char32_t single = folding.singleInBmp(c);
    if (single && single != NormalizedText::SoftBreak && single != NormalizedText::HyphenBreak) {
        out.push_back(char16_t(single));
        return 1;
    }
    scratch.clear();
    folding.append(c, scratch);
    int added = 0;
    for (char32_t f : scratch) {
        if (f == NormalizedText::SoftBreak || f == NormalizedText::HyphenBreak || f > 0x10FFFF
            || (f >= 0xD800 && f <= 0xDFFF))
            f = 0xFFFD;
        if (f > 0xFFFF) {
            out.push_back(char16_t(0xD800 + ((f - 0x10000) >> 10)));
            out.push_back(char16_t(0xDC00 + ((f - 0x10000) & 0x3FF)));
            added += 2;
        } else {
            out.push_back(char16_t(f));
            ++added;
        }
    }
    return added;
}

} // namespace

NormalizedText normalizePage(const PageText &page)
{
    const FoldingTable &folding = FoldingTable::shared();
    NormalizedText out;
    std::u16string units;
    std::u32string scratch;
    units.reserve(page.codes.size() + page.lines.size());
    out.charStart.reserve(page.codes.size() + page.lines.size() + 1);

    // A pending run of blanks and line breaks starts at runStart; -1 when none.
    int runStart = -1;
    bool runVanishes = false; // the run follows a hyphen that joins a word across lines
    char32_t previous = 0;    // last character that was not a blank; 0 at the start
    size_t nextLine = 1;      // next line whose start is a line break
    const auto closeRun = [&](char32_t following) {
        if (runStart < 0)
            return;
        if (!runVanishes) {
            const bool nearCjk = CharClass::isCjk(previous) || CharClass::isCjk(following);
            units.push_back(nearCjk && previous && following ? NormalizedText::SoftBreak : U' ');
            out.charStart.push_back(runStart);
        }
        runStart = -1;
        runVanishes = false;
    };
    // A hyphen at i right after a letter (`previous`), with only blanks and at least one
    // line break between it and the next letter.
    const auto joinsWordAcrossLines = [&](int i) {
        if (!isHyphen(page.codes[size_t(i)]) || !isAlphabeticLetter(previous)
            || nextLine >= page.lines.size())
            return false;
        int next = i + 1;
        while (next < page.charCount() && CharClass::isBlank(page.codes[size_t(next)]))
            ++next;
        return next < page.charCount() && page.lines[nextLine].first <= next
            && isAlphabeticLetter(page.codes[size_t(next)]);
    };

    const int count = page.charCount();
    for (int i = 0; i < count; ++i) {
        if (nextLine < page.lines.size() && page.lines[nextLine].first == i) {
            if (runStart < 0)
                runStart = i;
            while (nextLine < page.lines.size() && page.lines[nextLine].first <= i)
                ++nextLine;
        }
        const char32_t c = page.codes[size_t(i)];
        if (CharClass::isBlank(c)) {
            if (runStart < 0)
                runStart = i;
            continue;
        }
        const bool afterRun = runStart >= 0;
        closeRun(c);
        if (!afterRun && joinsWordAcrossLines(i)) {
            units.push_back(NormalizedText::HyphenBreak);
            out.charStart.push_back(i);
            runStart = i + 1; // the blanks and the break after it belong to the hyphen
            runVanishes = true;
            continue;
        }
        for (int added = appendFolded(folding, c, units, scratch); added > 0; --added)
            out.charStart.push_back(i);
        previous = c;
    }
    closeRun(0);
    out.charStart.push_back(count);
    out.text = FoldedText(units);
    out.charStart.shrink_to_fit();
    return out;
}

std::u16string normalizeQuery(const QString &query)
{
    const FoldingTable &folding = FoldingTable::shared();
    std::u16string out;
    std::u32string scratch;
    const QList<uint> codes = query.toUcs4();
    for (uint code : codes) {
        const char32_t c = code;
        if (CharClass::isBlank(c)) {
            if (out.empty() || out.back() != U' ')
                out.push_back(U' ');
        } else {
            appendFolded(folding, c, out, scratch);
        }
    }
    return out;
}

namespace {

// End (exclusive, in normalized positions) of a hit starting at `pos`, or npos.
size_t matchAt(const FoldedText &text, size_t pos, const std::u16string &query)
{
    size_t i = pos;
    size_t j = 0;
    while (j < query.size()) {
        if (i >= text.size())
            return std::u16string::npos;
        const char16_t c = text[i];
        if (c == NormalizedText::SoftBreak) {
            if (query[j] == U' ')
                ++j;
            ++i;
            continue;
        }
        if (c == NormalizedText::HyphenBreak) {
            if (isHyphen(query[j]) && ++j < query.size() && query[j] == U' ')
                ++j;
            ++i;
            continue;
        }
        if (c != query[j])
            return std::u16string::npos;
        ++i;
        ++j;
    }
    return i;
}

bool canStart(char16_t c, char16_t queryFirst)
{
    return c == queryFirst || (queryFirst == U' ' && c == NormalizedText::SoftBreak)
        || (isHyphen(queryFirst) && c == NormalizedText::HyphenBreak);
}

// First hit at normalized position >= pos, as normalized [begin, end); begin == npos if none.
std::pair<size_t, size_t> scan(const FoldedText &text, size_t pos, const std::u16string &query)
{
    const char16_t first = query.front();
    const bool onlyItself = first != U' ' && !isHyphen(first); // no mark can stand for it
    const FoldedText::Pair pair = text.pair(
        first, query.size() > 1 ? std::optional<char16_t>(query[1]) : std::nullopt);
    for (; pos < text.size(); ++pos) {
        if (onlyItself) {
            pos = text.findPair(pos, pair);
            if (pos == std::u16string::npos)
                break;
        } else if (!canStart(text[pos], first)) {
            continue;
        }
        const size_t end = matchAt(text, pos, query);
        if (end != std::u16string::npos)
            return {pos, end};
    }
    return {std::u16string::npos, 0};
}

TextMatch toMatch(const NormalizedText &page, size_t begin, size_t end)
{
    const char16_t last = page.text[end - 1];
    if (isRun(last))
        return TextMatch{begin, end, TextRange{page.charStart[begin], page.charStart[end]}};
    // A hit ending inside a character folded to several takes all of it.
    const int lastChar = page.charStart[end - 1];
    while (end < page.text.size() && !isRun(page.text[end]) && page.charStart[end] == lastChar)
        ++end;
    return TextMatch{begin, end, TextRange{page.charStart[begin], lastChar + 1}};
}

} // namespace

std::optional<TextMatch> findFirst(const NormalizedText &page, const std::u16string &query,
                                   size_t from)
{
    if (query.empty())
        return std::nullopt;
    const auto hit = scan(page.text, from, query);
    if (hit.first == std::u16string::npos)
        return std::nullopt;
    return toMatch(page, hit.first, hit.second);
}

std::vector<TextMatch> findAll(const NormalizedText &page, const std::u16string &query)
{
    std::vector<TextMatch> hits;
    if (query.empty())
        return hits;
    size_t pos = 0;
    for (;;) {
        const auto hit = scan(page.text, pos, query);
        if (hit.first == std::u16string::npos)
            break;
        hits.push_back(toMatch(page, hit.first, hit.second));
        pos = hits.back().end;
    }
    return hits;
}
