#pragma once
// The text of one page as the text layer keeps it: code points with their boxes
// and the line structure, in MuPDF's reading order. No MuPDF types.

#include <QRectF>
#include <QSizeF>
#include <QString>

#include <algorithm>
#include <cmath>
#include <vector>

// A character's box in page space: points, origin top left, y down, unrotated.
// Kept in half points, which covers the largest PDF page (14400 points) and halves
// the index's memory; a highlight is off by a quarter point at most.
class CharBox {
public:
    CharBox(double x0, double y0, double x1, double y1)
        : m_x0(pack(x0)), m_y0(pack(y0)), m_x1(pack(x1)), m_y1(pack(y1))
    {
    }
    QRectF rect() const
    {
        return QRectF(QPointF(m_x0 / 2.0, m_y0 / 2.0), QPointF(m_x1 / 2.0, m_y1 / 2.0));
    }

private:
    static qint16 pack(double v)
    {
        const double halves = std::round(v * 2);
        return qint16(std::clamp(halves, -32767.0, 32767.0));
    }
    qint16 m_x0, m_y0, m_x1, m_y1;
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
    std::vector<CharBox> boxes;   // parallel to codes; none in the index's plain copy
    std::vector<TextLine> lines;  // in order, covering every character
    bool truncated = false;       // the page has more characters than these

    int charCount() const { return int(codes.size()); }
    // The line holding character `index`, or -1.
    int lineOf(int index) const;
    // One rectangle per line piece of the range, each the union of its characters' boxes;
    // none without boxes.
    std::vector<QRectF> rectsFor(TextRange range) const;

    enum class LineJoin {
        Newline, // "\n" between printed lines, as a copied selection reads
        Flow,    // one blank between lines, none where either side is Chinese
    };
    // Whether line `next` goes on where line `prev` ends, on the same printed
    // line: MuPDF starts a new line at a wide gap (justified text) or where the
    // font size changes. Never without boxes.
    bool continuesLine(int prev, int next) const;
    // Plain text of the range; blanks between two Chinese characters are left out.
    // With starts, also where each character of the range, and the range's end,
    // begin in that text (UTF-16 positions); a blank left out begins where the
    // character after it does.
    QString textOf(TextRange range, LineJoin join, std::vector<int> *starts = nullptr) const;
};
