#include "viewer/pdf/text/FoldingTableBuilder.h"

#include "viewer/pdf/text/CharClass.h"
#include "viewer/pdf/text/ChineseVariants.h"

#include <QChar>
#include <QString>

#include <algorithm>
#include <unordered_map>

namespace {

// Past plane 3 only tags, variation selectors and private use follow: nothing folds there.
const char32_t LastFoldedCharacter = 0x3FFFF;
// Three rounds reach a fixed point for every character; the fourth only confirms it.
const int MaxRounds = 4;
const char32_t Replacement = 0xFFFD;

std::u32string compatibilityForm(char32_t c)
{
    if (QChar::decompositionTag(c) == QChar::NoDecomposition || QChar::isPunct(c))
        return std::u32string(1, c);
    const std::u32string form =
        QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KC).toStdU32String();
    if (form.empty() || std::any_of(form.begin(), form.end(), CharClass::isBlank))
        return std::u32string(1, c);
    return form;
}

class Folder {
public:
    explicit Folder(const std::string &dictionaryDir)
    {
        for (const auto &[from, to] : chineseCharacterGroups(dictionaryDir))
            m_chinese[from] = to;
    }

    // One round of the three steps over every character of `text`.
    std::u32string step(const std::u32string &text) const
    {
        std::u32string out;
        for (const char32_t c : text) {
            for (const char32_t part : compatibilityForm(c)) {
                const char32_t folded = QChar::toCaseFolded(part);
                const auto chinese = m_chinese.find(folded);
                out.push_back(chinese == m_chinese.end() ? folded : chinese->second);
            }
        }
        return out;
    }

    std::u32string fold(char32_t c) const
    {
        std::u32string text(1, c);
        for (int round = 0; round < MaxRounds; ++round) {
            std::u32string next = step(text);
            if (next == text)
                break;
            text = std::move(next);
        }
        return text;
    }

private:
    std::unordered_map<char32_t, char32_t> m_chinese;
};

} // namespace

FoldingTable buildFoldingTable(const std::string &openCcDictionaryDir)
{
    const Folder folder(openCcDictionaryDir);
    FoldingTable table;
    for (char32_t c = 0; c <= LastFoldedCharacter; ++c) {
        if (CharClass::isBlank(c))
            continue; // blanks are the matcher's business
        if (QChar::isSurrogate(c)) {
            table.set(c, std::u32string(1, Replacement)); // as Qt reads a lone one in a query
            continue;
        }
        const std::u32string folded = folder.fold(c);
        if (folded.size() != 1 || folded[0] != c)
            table.set(c, folded);
    }
    return table;
}
