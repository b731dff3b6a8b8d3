#pragma once
// A TextSearch whose searches answer when they are over, waited for as the
// viewer waits for them: a search still going after its first slice goes
// through the modal seam's progress wait, and is cancelled when that gives up.

#include "ui/LongWork.h"
#include "ui/ModalUi.h"
#include "viewer/pdf/text/TextSearch.h"

class WaitedSearch : public TextSearch {
public:
    WaitedSearch(const PageSource &pages, ModalUi &ui) : TextSearch(pages), m_ui(ui) {}

    std::optional<SearchHit> findText(const QString &text, int currentPage)
    {
        return waited(TextSearch::findText(text, currentPage, keepHit()));
    }
    std::optional<SearchHit> findNext(int currentPage)
    {
        return waited(TextSearch::findNext(currentPage, keepHit()));
    }
    std::optional<SearchHit> findPrevious(int currentPage)
    {
        return waited(TextSearch::findPrevious(currentPage, keepHit()));
    }
    FoundHits searchAll(const QString &text)
    {
        m_found = FoundHits();
        wait(*TextSearch::searchAll(text, [this](FoundHits found) {
            m_found = std::move(found);
            return 0;
        }));
        return std::move(m_found);
    }

private:
    HitThen keepHit()
    {
        m_hit.reset();
        return [this](const std::optional<SearchHit> &hit) {
            m_hit = hit;
            return 0;
        };
    }
    std::optional<SearchHit> waited(const std::shared_ptr<LongWork> &job)
    {
        wait(*job);
        return m_hit;
    }
    void wait(LongWork &job)
    {
        if (job.isRunning() && !m_ui.waitWithProgress(nullptr, QStringLiteral("正在检索，请稍候……"), job))
            job.cancel();
    }

    ModalUi &m_ui;
    std::optional<SearchHit> m_hit;
    FoundHits m_found;
};
