#pragma once
// Groups of Chinese characters that search treats as one character: a simplified form,
// its traditional forms and their common variants (为/為/爲, 里/裏/裡, 着/著), read from
// OpenCC's character dictionaries. Phrase-level differences (软件/軟體) are not
// characters and stay out.

#include <string>
#include <utility>
#include <vector>

// Each grouped character with the one character its group folds to (a simplified form
// where the group has one). Empty when the dictionaries in `dictionaryDir` cannot be read.
std::vector<std::pair<char32_t, char32_t>> chineseCharacterGroups(const std::string &dictionaryDir);
