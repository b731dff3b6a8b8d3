#include "viewer/pdf/PlainToolTip.h"

#include <QTextDocument>

QString plainToolTip(const QString &text)
{
    // Empty stays empty: an empty paragraph would still pop up a tip.
    return text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}
