#include "viewer/pdf/text/PlainPageText.h"

#include <algorithm>

PlainPageText::PlainPageText(const PageText &page)
    : m_size(page.size), m_truncated(page.truncated)
{
    m_lineStarts.reserve(page.lines.size());
    for (const TextLine &line : page.lines)
        m_lineStarts.push_back(line.first);
    if (std::all_of(page.codes.begin(), page.codes.end(), [](char32_t c) { return c < 0x100; })) {
        m_latin1.assign(page.codes.begin(), page.codes.end());
        return;
    }
    m_codes.reserve(page.codes.size());
    for (size_t i = 0; i < page.codes.size(); ++i) {
        const char32_t c = page.codes[i];
        if (c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            m_codes.push_back(Wide);
            m_wide.emplace_back(int(i), c);
        } else {
            m_codes.push_back(char16_t(c));
        }
    }
}

PageText PlainPageText::expand() const
{
    PageText page;
    page.size = m_size;
    page.truncated = m_truncated;
    if (m_latin1.empty())
        page.codes.assign(m_codes.begin(), m_codes.end());
    else
        page.codes.assign(reinterpret_cast<const unsigned char *>(m_latin1.data()),
                          reinterpret_cast<const unsigned char *>(m_latin1.data()) + m_latin1.size());
    for (const auto &[index, code] : m_wide)
        page.codes[size_t(index)] = code;
    page.lines.reserve(m_lineStarts.size());
    for (size_t l = 0; l < m_lineStarts.size(); ++l) {
        const int end = l + 1 < m_lineStarts.size() ? m_lineStarts[l + 1] : charCount();
        page.lines.push_back(TextLine{m_lineStarts[l], end - m_lineStarts[l], 0});
    }
    return page;
}

size_t PlainPageText::bytes() const
{
    return m_latin1.capacity() + m_codes.capacity() * sizeof(char16_t) + m_wide.capacity() * sizeof(m_wide[0])
        + m_lineStarts.capacity() * sizeof(int);
}
