#include "app/ClassicMenuStyle.h"

#include <QStyleOptionMenuItem>

void ClassicMenuStyle::drawControl(ControlElement element, const QStyleOption *option,
                                   QPainter *painter, const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (element == CE_MenuItem && item && item->checkType != QStyleOptionMenuItem::NotCheckable
        && !item->checked) {
        // Drawn as a plain item; the column for marks stays, so captions line up.
        QStyleOptionMenuItem unmarked = *item;
        unmarked.checkType = QStyleOptionMenuItem::NotCheckable;
        QProxyStyle::drawControl(element, &unmarked, painter, widget);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}
