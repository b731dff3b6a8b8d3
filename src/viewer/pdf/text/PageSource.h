#pragma once
// Where search finds page text: pages that may still be on their way. The text index
// is the real one; tests hand in pages of their own.

#include "viewer/pdf/text/PageText.h"
#include "viewer/pdf/text/TextMatcher.h"

#include <QtGlobal>

#include <memory>

struct IndexedPage {
    PageText text;
    NormalizedText normalized;
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
