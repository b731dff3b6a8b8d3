#pragma once
// A page's characters and line starts without their boxes, in one byte a character
// where all are Latin-1 and two otherwise: what the text index keeps to show the text
// around a hit. The boxes come back with a fresh extraction of the page when a hit
// is drawn.

#include "viewer/pdf/text/PageText.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class PlainPageText {
public:
    PlainPageText() = default;
    explicit PlainPageText(const PageText &page);

    QSizeF size() const { return m_size; } // points
    int charCount() const { return int(m_latin1.empty() ? m_codes.size() : m_latin1.size()); }
    bool truncated() const { return m_truncated; }
    // The page with its characters and lines, and no boxes: enough for
    // PageText::textOf with LineJoin::Flow.
    PageText expand() const;
    size_t bytes() const;

private:
    // Stands in m_codes for a character kept in m_wide.
    static constexpr char16_t Wide = 0xD800;

    QSizeF m_size;
    std::string m_latin1;   // the characters when every one is below U+0100
    std::u16string m_codes; // otherwise
    std::vector<std::pair<int, char32_t>> m_wide; // (character, code) beyond one UTF-16 unit
    std::vector<int> m_lineStarts;
    bool m_truncated = false;
};
