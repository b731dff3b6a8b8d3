#pragma once
// The text of one page as the text layer keeps it: code points with their boxes
// and the line structure, in MuPDF's reading order. No MuPDF types.

#include <QRectF>
#include <QSizeF>
#include <QString>

#include <vector>

// A character's box in page space: points, origin top left, y down, unrotated.
struct CharBox {
    float x0, y0, x1, y1;
    QRectF rect() const { return QRectF(QPointF(x0, y0), QPointF(x1, y1)); }
};

// Characters [first, first + count) of the page; blocks count from 0.
struct TextLine {
    int first;
    int count;
    int block;
};

// Characters [begin, end) of one page.
struct TextRange {
    int begin = 0;
    int end = 0;
    bool isEmpty() const { return end <= begin; }
    bool operator==(const TextRange &o) const { return begin == o.begin && end == o.end; }
};

struct PageText {
    QSizeF size;                  // points
    std::vector<char32_t> codes;  // one per character
    std::vector<CharBox> boxes;   // parallel to codes
    std::vector<TextLine> lines;  // in order, covering every character

    int charCount() const { return int(codes.size()); }
    // The line holding character `index`, or -1.
    int lineOf(int index) const;
    // One rectangle per line piece of the range, each the union of its characters' boxes.
    std::vector<QRectF> rectsFor(TextRange range) const;

    enum class LineJoin {
        Newline, // "\n" between lines, as a copied selection reads
        Flow,    // one blank between lines, none where either side is Chinese
    };
    // Plain text of the range; blanks between two Chinese characters are left out.
    QString textOf(TextRange range, LineJoin join) const;
};
