#pragma once
// Lays a page's text over its printed image, invisible on paper but kept in
// files the printer writes (a PDF printer), so text in them can be searched
// and copied like a scanned page with recognised text.

#include "viewer/pdf/text/PageText.h"

#include <QRectF>

class QPainter;

// Draws every character of the page into its box, the page (text.size) mapped
// onto target in the painter's coordinates.
void drawInvisibleText(QPainter &painter, const PageText &text, const QRectF &target);
