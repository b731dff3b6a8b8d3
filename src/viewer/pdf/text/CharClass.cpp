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

} // namespace CharClass
