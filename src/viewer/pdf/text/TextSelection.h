#pragma once
// The text-select tool's selection: character ranges in reading order between two
// points, possibly on different pages, their highlight rectangles and their text.
// Pure; pages come through a lookup so pages without text yet simply add nothing.

#include "viewer/pdf/text/PageText.h"

#include <QPointF>
#include <QString>

#include <functional>
#include <vector>

struct TextPoint {
    int page = -1; // 0-based
    QPointF pos;   // page space, points
};

struct PageRange {
    int page = -1; // 0-based
    TextRange range;
};

class TextSelection {
public:
    // The page's text (0-based), or null when it is not known yet.
    using PageLookup = std::function<const PageText *(int page)>;

    // The characters from one point to the other, whichever comes first; pages between
    // them are taken whole.
    void select(const PageLookup &pages, TextPoint anchor, TextPoint focus);
    // The word under the point: a run of letters and digits, or one Chinese character.
    void selectWord(const PageLookup &pages, TextPoint at);
    void clear();

    bool isEmpty() const { return m_ranges.empty(); }
    const std::vector<PageRange> &ranges() const { return m_ranges; }
    // Lines separated by "\n", pages too; "" when nothing is selected.
    const QString &text() const { return m_text; }

    // Caret position (0 … charCount) nearest to a point: before the character whose
    // middle lies right of the point, on the line nearest to it.
    static int caretAt(const PageText &page, QPointF pos);
    // The word at a point; empty when the point is on no character or on a blank.
    static TextRange wordAt(const PageText &page, QPointF pos);

private:
    void setRanges(const PageLookup &pages, std::vector<PageRange> ranges);

    std::vector<PageRange> m_ranges; // non-empty ranges, in page order
    QString m_text;
};
