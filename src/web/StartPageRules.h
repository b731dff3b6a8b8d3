#pragma once
// What of a fetched page may reach the start pane: the elements kept, what each
// becomes, and the attribute values allowed on it.

#include "web/gumbo_budget.h"

#include <QString>

#include <vector>

namespace startPageRules {

enum class Kind {
    Block,
    Inline,
    Void,   // no content and no closing tag
    Table,
    Row,
    Cell,
    List,
    Item,
    Unwrap, // the tag goes, its content stays
    Drop,   // the tag goes with all its content
};

enum class Value {
    Link,        // http, https, relative or a fragment
    ImageSource, // http, https, relative or an inline image
    AnchorName,
    Text,
    Align,
    VAlign,
    Colour,
    Pixels,      // an image's width or height
    Length,      // a table's or cell's width, in pixels or per cent
    Spacing,     // border, cellspacing, cellpadding
    Span,        // colspan
    FontSize,
};

struct Attribute {
    const char *name;
    Value value;
};

struct Rule {
    Kind kind;
    const char *name = nullptr; // written out; by default gumbo's name of the tag
    std::vector<Attribute> attributes = {};
    const char *required = nullptr; // the element is left off without this attribute
};

// How the element is written out, or left off.
Rule ruleFor(const GumboNode *node);
// The attribute's value as written out, or empty to leave the attribute off.
QString allowedValue(Value kind, const QString &raw);
// The columns a cell takes: its colspan as it is written out.
int columnSpan(const GumboNode *node);

} // namespace startPageRules
