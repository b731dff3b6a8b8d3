#pragma once
// What a tool tip, label or message box in its automatic format shows for a
// text: Qt lays the text out as HTML when it merely looks like markup.

#include <QTextDocument>

inline QString shownAsAutoText(const QString &text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}
