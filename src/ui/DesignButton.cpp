#include "ui/DesignButton.h"

#include "ui/DesignFont.h"

QPushButton *designButton(QWidget *parent, const char *name, const QString &caption,
                          const QRect &geometry, const QColor &back)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    button->setFont(songtiFont(9));
    button->setStyleSheet(QStringLiteral("background-color: %1;").arg(back.name()));
    return button;
}
