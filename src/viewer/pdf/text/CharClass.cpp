#include "viewer/pdf/text/CharClass.h"

#include <QChar>

namespace CharClass {

bool isBlank(char32_t c)
{
    return QChar::isSpace(c) || c == 0x200B || c == 0xFEFF;
}

bool isCjk(char32_t c)
{
    return (c >= 0x2E80 && c <= 0x9FFF)     // radicals, punctuation, kana, ideographs
        || (c >= 0xAC00 && c <= 0xD7AF)     // Hangul syllables
        || (c >= 0xF900 && c <= 0xFAFF)     // compatibility ideographs
        || (c >= 0xFE30 && c <= 0xFE4F)     // compatibility forms
        || (c >= 0xFF00 && c <= 0xFFEF)     // full-width and half-width forms
        || (c >= 0x20000 && c <= 0x3FFFF);  // supplementary ideographs
}

bool isWordChar(char32_t c)
{
    return !isCjk(c) && QChar::isLetterOrNumber(c);
}

char32_t fold(char32_t c)
{
    const bool fullWidthDigit = c >= 0xFF10 && c <= 0xFF19;
    const bool fullWidthLetter = (c >= 0xFF21 && c <= 0xFF3A) || (c >= 0xFF41 && c <= 0xFF5A);
    if (fullWidthDigit || fullWidthLetter)
        c -= 0xFEE0;
    return QChar::toCaseFolded(c);
}

} // namespace CharClass
