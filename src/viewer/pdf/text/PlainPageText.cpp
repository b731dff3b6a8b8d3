#include "viewer/pdf/text/PlainPageText.h"

namespace {

char32_t scalar(char32_t c)
{
    return c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? char32_t(0xFFFD) : c;
}

size_t utf8Length(char32_t c)
{
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

void appendUtf16(std::u16string &out, char32_t c)
{
    if (c < 0x10000) {
        out.push_back(char16_t(c));
    } else {
        out.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
        out.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
}

std::vector<char32_t> decodeUtf8(const std::string &in, size_t count)
{
    std::vector<char32_t> out;
    out.reserve(count);
    for (size_t i = 0; i < in.size();) {
        const unsigned char lead = static_cast<unsigned char>(in[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        for (size_t k = 1; k < length; ++k)
            c = (c << 6) | (static_cast<unsigned char>(in[i + k]) & 0x3F);
        out.push_back(c);
        i += length;
    }
    return out;
}

std::vector<char32_t> decodeUtf16(const std::u16string &in, size_t count)
{
    std::vector<char32_t> out;
    out.reserve(count);
    for (size_t i = 0; i < in.size(); ++i) {
        const char16_t unit = in[i];
        if (unit >= 0xD800 && unit < 0xDC00) { // written only as the first of a pair
            out.push_back(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (in[i + 1] - 0xDC00));
            ++i;
        } else {
            out.push_back(unit);
        }
    }
    return out;
}

} // namespace

PlainPageText::PlainPageText(const PageText &page)
    : m_size(page.size), m_charCount(page.charCount()), m_truncated(page.truncated)
{
    m_lineStarts.reserve(page.lines.size());
    for (const TextLine &line : page.lines)
        m_lineStarts.push_back(line.first);
    size_t utf8 = 0;
    size_t utf16 = 0;
    for (const char32_t code : page.codes) {
        const char32_t c = scalar(code);
        utf8 += utf8Length(c);
        utf16 += c < 0x10000 ? 2 : 4;
    }
    if (utf8 <= utf16) {
        m_utf8.reserve(utf8);
        for (const char32_t code : page.codes)
            appendUtf8(m_utf8, scalar(code));
    } else {
        m_utf16.reserve(utf16 / 2);
        for (const char32_t code : page.codes)
            appendUtf16(m_utf16, scalar(code));
    }
}

PageText PlainPageText::expand() const
{
    PageText page;
    page.size = m_size;
    page.truncated = m_truncated;
    page.codes = m_utf16.empty() ? decodeUtf8(m_utf8, size_t(m_charCount))
                                 : decodeUtf16(m_utf16, size_t(m_charCount));
    page.lines.reserve(m_lineStarts.size());
    for (size_t l = 0; l < m_lineStarts.size(); ++l) {
        const int end = l + 1 < m_lineStarts.size() ? m_lineStarts[l + 1] : m_charCount;
        page.lines.push_back(TextLine{m_lineStarts[l], end - m_lineStarts[l], 0});
    }
    return page;
}

size_t PlainPageText::bytes() const
{
    return m_utf8.capacity() + m_utf16.capacity() * sizeof(char16_t)
        + m_lineStarts.capacity() * sizeof(int);
}
