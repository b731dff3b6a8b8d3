#pragma once
// Menus drawn as a classic menu: a check mark only beside an item that is
// checked, no empty box beside the others. Everything else is the base style's.

#include <QProxyStyle>

class ClassicMenuStyle : public QProxyStyle {
public:
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
};
