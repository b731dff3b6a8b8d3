#pragma once
// The form in which search compares characters: each character folded to one canonical
// form, so that case, compatibility forms (ligatures, circled, full-width and other
// presentation forms) and simplified, traditional and variant Chinese characters make
// no difference. Most characters fold to one character; a few fold to several ("ﬁ" to
// "fi", "⑩" to "10"). Blanks are never folded into, so a folded text keeps its words.
//
// Threads: the process's table is built once, by the first thread that asks for it
// (the text index's worker, before it publishes any page); afterwards it is read-only
// and read from any thread.

#include <string>
#include <utility>
#include <vector>

class FoldingTable {
public:
    // Every character folds to itself.
    FoldingTable();

    // The process's table; the first call builds it (tens of milliseconds), later calls
    // return at once. Thread-safe.
    static const FoldingTable &shared();

    // Appends the folded form of c to out; returns how many characters that was (>= 1).
    int append(char32_t c, std::u32string &out) const
    {
        if (c < BmpSize) {
            const char32_t folded = m_bmp[c];
            if (!(folded & ExpansionFlag)) {
                out.push_back(folded);
                return 1;
            }
            return appendExpansion(folded, out);
        }
        return appendBeyondBmp(c, out);
    }

    // The folded form of c when that is one character of the BMP; 0 otherwise.
    char32_t singleInBmp(char32_t c) const
    {
        if (c >= BmpSize)
            return 0;
        const char32_t folded = m_bmp[c];
        return (folded & ExpansionFlag) || folded >= BmpSize ? 0 : folded;
    }

    // Builder side: c folds to `folded` (not empty).
    void set(char32_t c, const std::u32string &folded);

    size_t memoryBytes() const;

private:
    static constexpr char32_t BmpSize = 0x10000;
    // An entry with this bit points into m_expansions: offset << 8 | length.
    static constexpr char32_t ExpansionFlag = 0x80000000;

    int appendExpansion(char32_t entry, std::u32string &out) const;
    int appendBeyondBmp(char32_t c, std::u32string &out) const;
    char32_t encode(const std::u32string &folded);

    std::vector<char32_t> m_bmp;                           // one entry per BMP character
    std::vector<std::pair<char32_t, char32_t>> m_beyondBmp; // sorted; folded ones only
    std::u32string m_expansions;
};
