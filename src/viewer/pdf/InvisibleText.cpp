#include "InvisibleText.h"

#include "InvisibleFont.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

void drawInvisibleText(QPainter &painter, const PageText &text, const QRectF &target)
{
    const QString family = invisibleFontFamily();
    // Without its own font the page prints as an image alone: any other font
    // could leave ink or read back wrong.
    if (family.isEmpty() || text.codes.empty() || text.size.isEmpty())
        return;
    const double sx = target.width() / text.size.width();
    const double sy = target.height() / text.size.height();
    QFont font(family);
    font.setPixelSize(100); // the painter's transform gives each glyph its size
    font.setKerning(false);
    const QFontMetricsF metrics(font, painter.device());
    const double height = metrics.ascent() + metrics.descent();

    painter.save();
    const QTransform base = painter.transform();
    painter.setFont(font);
    // The glyphs are empty; a transparent pen as well keeps any substitute glyph off the paper.
    painter.setPen(QColor(0, 0, 0, 0));
    for (size_t i = 0; i < text.codes.size(); ++i) {
        const char32_t code = text.codes[i];
        if (!invisibleFontCovers(code))
            continue; // no other font may stand in
        const QRectF box = text.boxes[i].rect();
        const QString glyph = QString::fromUcs4(&code, 1);
        const double advance = metrics.horizontalAdvance(glyph);
        if (box.isEmpty() || advance <= 0)
            continue;
        // Stretch the glyph over its box, so the reader sees the original spacing.
        QTransform place;
        place.translate(target.left() + box.left() * sx, target.top() + box.top() * sy);
        place.scale(box.width() * sx / advance, box.height() * sy / height);
        painter.setTransform(place * base);
        painter.drawText(QPointF(0, metrics.ascent()), glyph);
    }
    painter.restore();
}
