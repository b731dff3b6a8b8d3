#include "InvisibleText.h"

#include "InvisibleFont.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

namespace {
// Sized by the painter's transform. Should the text layer's own font be refused,
// a CJK face keeps most text findable (ideographs shaped like radicals read back
// as radicals).
QFont textFont()
{
    const QString family = invisibleFontFamily();
    QFont font(family.isEmpty() ? QStringLiteral("Noto Sans CJK SC") : family);
    font.setPixelSize(100);
    font.setKerning(false);
    return font;
}
} // namespace

void drawInvisibleText(QPainter &painter, const PageText &text, const QRectF &target)
{
    if (text.codes.empty() || text.size.isEmpty())
        return;
    const double sx = target.width() / text.size.width();
    const double sy = target.height() / text.size.height();
    const QFont font = textFont();
    const QFontMetricsF metrics(font, painter.device());
    const double height = metrics.ascent() + metrics.descent();

    painter.save();
    const QTransform base = painter.transform();
    painter.setFont(font);
    // A fully transparent pen: no ink on paper, while the PDF engine still writes the glyphs.
    painter.setPen(QColor(0, 0, 0, 0));
    for (size_t i = 0; i < text.codes.size(); ++i) {
        const char32_t code = text.codes[i];
        if (code < 0x20)
            continue;
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
