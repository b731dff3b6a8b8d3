#include "DisplayListCache.h"

#include "ThreadContext.h"

DisplayList DisplayListCache::find(int page)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const DisplayList *list = m_lists.find(page);
    return list ? *list : nullptr;
}

DisplayList DisplayListCache::keep(int page, fz_display_list *recorded)
{
    // Without a context (MuPDF's memory spent) the list is left unfreed rather
    // than freed wrongly.
    DisplayList list(recorded, [](fz_display_list *l) {
        if (fz_context *ctx = threadContext())
            vshim_drop_display_list(ctx, l);
    });
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lists.insert(page, list);
    return list;
}

void DisplayListCache::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lists.clear();
}
