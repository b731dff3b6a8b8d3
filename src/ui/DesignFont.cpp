#include "ui/DesignFont.h"

#include <QStringList>

QFont songtiFont(double pointSize)
{
    static const bool registered = [] {
        QFont::insertSubstitutions(QStringLiteral("宋体"),
                                   {QStringLiteral("Noto Serif CJK SC"),
                                    QStringLiteral("Noto Sans CJK SC"),
                                    QStringLiteral("WenQuanYi Micro Hei")});
        return true;
    }();
    Q_UNUSED(registered);
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    return font;
}
