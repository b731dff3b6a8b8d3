#include "viewer/pdf/text/PlainPageText.h"

PlainPageText::PlainPageText(const PageText &page)
    : m_size(page.size), m_truncated(page.truncated)
{
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
    m_lineStarts.reserve(page.lines.size());
    for (const TextLine &line : page.lines)
        m_lineStarts.push_back(line.first);
}

PageText PlainPageText::expand() const
{
    PageText page;
    page.size = m_size;
    page.truncated = m_truncated;
    page.codes.assign(m_codes.begin(), m_codes.end());
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
    return m_codes.capacity() * sizeof(char16_t) + m_wide.capacity() * sizeof(m_wide[0])
        + m_lineStarts.capacity() * sizeof(int);
}
