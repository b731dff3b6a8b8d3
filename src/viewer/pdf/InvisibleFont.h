#pragma once
// A font made for the printed text layer: every character of the Basic
// Multilingual Plane has a glyph of its own, and every glyph is empty.
//
// Why: the PDF writer maps each embedded glyph back to the lowest code point the
// font gives it, and CJK fonts share one glyph between an ideograph and its
// radical (一 and ⼀, 页 and ⻚), so text drawn in them reads back as radicals.
// A glyph per code point reads back exactly, and empty glyphs never show on paper.

#include <QByteArray>
#include <QString>

// Whether the font has a glyph for the character: printable ones in that plane.
bool invisibleFontCovers(char32_t code);

// The font file (TrueType) itself.
QByteArray invisibleFontData();

// The font's family, registered with Qt on first use; empty when Qt refuses it.
// Any thread.
QString invisibleFontFamily();
