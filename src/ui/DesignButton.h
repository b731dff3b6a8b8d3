#pragma once
// The push button of the window designs: 宋体 9 pt on a given back colour, placed
// in twips.

#include <QColor>
#include <QPushButton>

// The dialogs' buttons use this grey; the toolbar uses its own.
inline const QColor dialogButtonColour(207, 206, 210);

QPushButton *designButton(QWidget *parent, const char *name, const QString &caption,
                          const QRect &geometry, const QColor &back = dialogButtonColour);
