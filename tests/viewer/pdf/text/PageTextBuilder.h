#pragma once
// Builds a PageText from lines of text for tests that need no PDF: each character
// gets a 10 x 12 point box, lines are 20 points apart, one block per paragraph.

#include "viewer/pdf/text/PageText.h"

#include <QStringList>

inline PageText pageFromLines(const QStringList &lines, int linesPerBlock = 1000)
{
    PageText page;
    page.size = QSizeF(600, 800);
    int lineNo = 0;
    for (const QString &text : lines) {
        const QList<uint> codes = text.toUcs4();
        page.lines.push_back(TextLine{page.charCount(), int(codes.size()), lineNo / linesPerBlock});
        float x = 50;
        const float y = 50 + 20 * lineNo;
        for (uint c : codes) {
            page.codes.push_back(char32_t(c));
            page.boxes.push_back(CharBox{x, y, x + 10, y + 12});
            x += 10;
        }
        ++lineNo;
    }
    return page;
}
