#include "viewer/pdf/text/ChineseVariants.h"

#include <QChar>
#include <QString>

#include <opencc/Lexicon.hpp>
#include <opencc/MarisaDict.hpp>

#include <cstdio>
#include <map>
#include <memory>
#include <set>

namespace {

using Pairs = std::vector<std::pair<char32_t, char32_t>>;

// The one code point of a UTF-8 text; 0 unless it is exactly one.
char32_t singleCharacter(const std::string &utf8)
{
    const std::u32string text = QString::fromStdString(utf8).toStdU32String();
    return text.size() == 1 ? text[0] : 0;
}

// Characters with a compatibility or canonical decomposition are folded to their
// decomposed form before grouping, so they never stand for a group.
bool decomposes(char32_t c)
{
    return QChar::decompositionTag(c) != QChar::NoDecomposition;
}

// Each one-character key of an OpenCC dictionary with its first, preferred value, where
// that is one character too. Other values are uses in particular words (覆 is also
// written for 复 in some), which would join unrelated characters.
Pairs readDictionary(const std::string &path)
{
    Pairs pairs;
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return pairs;
    try {
        const opencc::MarisaDictPtr dict = opencc::MarisaDict::NewFromFile(file);
        for (const auto &entry : *dict->GetLexicon()) {
            const char32_t key = singleCharacter(entry->Key());
            const char32_t value = singleCharacter(entry->GetDefault());
            if (key && value && key != value && !decomposes(key) && !decomposes(value))
                pairs.emplace_back(key, value);
        }
    } catch (...) {
        pairs.clear(); // an unreadable dictionary adds nothing
    }
    std::fclose(file);
    return pairs;
}

class Groups {
public:
    void join(char32_t a, char32_t b)
    {
        const char32_t rootOfA = root(a);
        m_parent[rootOfA] = root(b);
    }
    char32_t root(char32_t c)
    {
        auto it = m_parent.try_emplace(c, c).first;
        while (it->second != it->first) {
            const auto parent = m_parent.find(it->second);
            it->second = parent->second; // halves the path
            it = m_parent.find(it->second);
        }
        return it->first;
    }
    std::vector<char32_t> members() const
    {
        std::vector<char32_t> all;
        for (const auto &entry : m_parent)
            all.push_back(entry.first);
        return all;
    }

private:
    std::map<char32_t, char32_t> m_parent;
};

} // namespace

std::vector<std::pair<char32_t, char32_t>> chineseCharacterGroups(const std::string &dictionaryDir)
{
    // Traditional to simplified, and the standard forms to the variants usual in Taiwan and
    // Hong Kong. The Japanese variant dictionaries stay out: shinjitai such as 芸 (for 藝)
    // or 弁 are different characters in Chinese.
    const Pairs traditional = readDictionary(dictionaryDir + "/TSCharacters.ocd2");
    Groups groups;
    std::set<char32_t> traditionalForms;
    for (const auto &[from, to] : traditional) {
        groups.join(from, to);
        traditionalForms.insert(from);
    }
    for (const char *variants : {"/TWVariants.ocd2", "/HKVariants.ocd2"}) {
        for (const auto &[from, to] : readDictionary(dictionaryDir + variants))
            groups.join(from, to);
    }

    // Each group folds to its smallest simplified member, else to its smallest member.
    std::map<char32_t, char32_t> target;
    for (const char32_t c : groups.members()) { // in ascending order
        const char32_t root = groups.root(c);
        const auto chosen = target.find(root);
        const bool simplified = !traditionalForms.count(c);
        if (chosen == target.end())
            target[root] = c;
        else if (simplified && traditionalForms.count(chosen->second))
            chosen->second = c;
    }
    Pairs folds;
    for (const char32_t c : groups.members())
        folds.emplace_back(c, target[groups.root(c)]);
    return folds;
}
