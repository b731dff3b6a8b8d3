#pragma once
// A page's characters and line starts without their boxes, in UTF-8 or UTF-16,
// whichever is smaller: what the text index keeps to show the text around a hit.
// The boxes come back with a fresh extraction of the page when a hit is drawn.

#include "viewer/pdf/text/PageText.h"

#include <string>
#include <vector>

class PlainPageText {
public:
    PlainPageText() = default;
    explicit PlainPageText(const PageText &page);

    QSizeF size() const { return m_size; } // points
    int charCount() const { return m_charCount; }
    bool truncated() const { return m_truncated; }
    // The page with its characters and lines, and no boxes: enough for
    // PageText::textOf with LineJoin::Flow. A code that is no Unicode scalar
    // value comes back as U+FFFD.
    PageText expand() const;
    size_t bytes() const;

private:
    QSizeF m_size;
    int m_charCount = 0;
    std::string m_utf8;     // the characters, when UTF-8 is the smaller ...
    std::u16string m_utf16; // ... else these
    std::vector<int> m_lineStarts;
    bool m_truncated = false;
};
