#pragma once
// What assistive technologies read off the page view: a page's text and the
// part of it the text tool selected. The text layer answers from its index;
// nothing asks unless an assistive technology does.

#include "viewer/pdf/text/PageText.h"

#include <memory>

class PageReading {
public:
    virtual ~PageReading() = default;
    // The page's text (0-based) once the index holds it; null until then.
    virtual std::shared_ptr<const PageText> pageText(int page) const = 0;
    // The characters of the page the selection covers; empty when none.
    virtual TextRange selectionOn(int page) const = 0;
};
