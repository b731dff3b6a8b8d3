#pragma once
// Builds the folding table from Unicode data (Qt's) and OpenCC's Chinese dictionaries.

#include "viewer/pdf/text/FoldingTable.h"

#include <string>

// Each character folds in three steps, repeated until nothing changes: its
// compatibility form (NFKC), except for punctuation (，。、 stay Chinese punctuation)
// and forms that would bring blanks into a word; simple case folding; the form its
// Chinese character group folds to. Without the dictionaries in `openCcDictionaryDir`
// the Chinese step is left out.
FoldingTable buildFoldingTable(const std::string &openCcDictionaryDir);
