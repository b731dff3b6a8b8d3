#pragma once
// A PageSource for tests: pages built from lines of text, published when the test says.

#include "PageTextBuilder.h"
#include "viewer/pdf/text/PageSource.h"

#include <vector>

class StagedPages : public PageSource {
public:
    explicit StagedPages(const QList<QStringList> &pages)
    {
        for (const QStringList &lines : pages) {
            m_pages.push_back(std::make_shared<IndexedPage>(pageFromLines(lines)));
        }
        m_ready.assign(m_pages.size(), true);
    }

    void setReady(int index, bool ready) { m_ready[size_t(index)] = ready; }
    void setCountKnown(bool known) { m_countKnown = known; }
    void bumpGeneration() { ++m_generation; }

    int pageCount() const override { return m_countKnown ? int(m_pages.size()) : -1; }
    std::shared_ptr<const IndexedPage> page(int index) const override
    {
        if (index < 0 || index >= int(m_pages.size()) || !m_ready[size_t(index)])
            return nullptr;
        return m_pages[size_t(index)];
    }
    quint64 generation() const override { return m_generation; }

private:
    std::vector<std::shared_ptr<IndexedPage>> m_pages;
    std::vector<bool> m_ready;
    bool m_countKnown = true;
    quint64 m_generation = 1;
};
