#include "viewer/pdf/text/FoldingTable.h"

#include "viewer/pdf/text/FoldingTableBuilder.h"

#include <algorithm>

namespace {
const char32_t LastCodePoint = 0x10FFFF;
const char32_t Replacement = 0xFFFD;
const size_t MaxExpansion = 0xFF; // the length field of an expansion entry

bool byCharacter(const std::pair<char32_t, char32_t> &entry, char32_t c)
{
    return entry.first < c;
}
} // namespace

FoldingTable::FoldingTable() : m_bmp(BmpSize)
{
    for (char32_t c = 0; c < BmpSize; ++c)
        m_bmp[c] = c;
}

const FoldingTable &FoldingTable::shared()
{
    static const FoldingTable table = buildFoldingTable(VELLUMO_OPENCC_DATA_DIR);
    return table;
}

void FoldingTable::set(char32_t c, const std::u32string &folded)
{
    if (c > LastCodePoint || folded.empty() || folded.size() > MaxExpansion)
        return;
    const char32_t entry = encode(folded);
    if (c < BmpSize) {
        m_bmp[c] = entry;
        return;
    }
    const auto at = std::lower_bound(m_beyondBmp.begin(), m_beyondBmp.end(), c, byCharacter);
    if (at != m_beyondBmp.end() && at->first == c)
        at->second = entry;
    else
        m_beyondBmp.insert(at, {c, entry});
}

char32_t FoldingTable::encode(const std::u32string &folded)
{
    if (folded.size() == 1)
        return folded[0];
    const size_t offset = m_expansions.size();
    m_expansions += folded;
    return ExpansionFlag | char32_t(offset << 8) | char32_t(folded.size());
}

int FoldingTable::appendExpansion(char32_t entry, std::u32string &out) const
{
    const size_t offset = (entry & ~ExpansionFlag) >> 8;
    const size_t length = entry & 0xFF;
    out.append(m_expansions, offset, length);
    return int(length);
}

int FoldingTable::appendBeyondBmp(char32_t c, std::u32string &out) const
{
    if (c > LastCodePoint) {
        out.push_back(Replacement);
        return 1;
    }
    const auto at = std::lower_bound(m_beyondBmp.begin(), m_beyondBmp.end(), c, byCharacter);
    if (at == m_beyondBmp.end() || at->first != c) {
        out.push_back(c);
        return 1;
    }
    if (at->second & ExpansionFlag)
        return appendExpansion(at->second, out);
    out.push_back(at->second);
    return 1;
}

size_t FoldingTable::memoryBytes() const
{
    return m_bmp.capacity() * sizeof(char32_t)
        + m_beyondBmp.capacity() * sizeof(m_beyondBmp.front())
        + m_expansions.capacity() * sizeof(char32_t);
}
