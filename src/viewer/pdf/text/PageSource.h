#pragma once
// Where search finds page text: pages that may still be on their way. The text index
// is the real one; tests hand in pages of their own.

#include "viewer/pdf/text/PageText.h"
#include "viewer/pdf/text/PlainPageText.h"
#include "viewer/pdf/text/TextMatcher.h"

#include <QtGlobal>

#include <memory>

// What the index keeps of a page: its folded text for matching and its plain
// characters for the text around a hit, without the characters' boxes.
struct IndexedPage {
    PlainPageText text;
    NormalizedText normalized;

    IndexedPage() = default;
    explicit IndexedPage(const PageText &page) : text(page), normalized(normalizePage(page)) {}
    size_t bytes() const { return sizeof(IndexedPage) + text.bytes() + normalized.bytes(); }
};

class PageSource {
public:
    virtual ~PageSource() = default;
    // -1 while not known yet. Known only once the process's FoldingTable is built, so a
    // reader that waits for it never builds the table itself.
    virtual int pageCount() const = 0;
    // The page (0-based) once its text is ready; null until then.
    virtual std::shared_ptr<const IndexedPage> page(int index) const = 0;
    // Changes when the document is closed or another one opened.
    virtual quint64 generation() const = 0;
};
