#pragma once
// Character classes the matcher and the selection share.

namespace CharClass {

// Blanks and other white space, the ideographic space included.
bool isBlank(char32_t c);
// Chinese, Japanese and Korean script, their punctuation and full-width forms:
// text that runs on without blanks and may break between any two characters.
bool isCjk(char32_t c);
// Letters and digits of alphabetic scripts, which form words.
bool isWordChar(char32_t c);

} // namespace CharClass
