#pragma once
// The pages of one document recorded last, kept to be drawn again without
// recording them anew. Any thread: its lock is taken with nothing else locked
// inside it, so a caller may hold the document's lock meanwhile.

#include "LruCache.h"
#include "shim/shim_engine.h"

#include <memory>
#include <mutex>

using DisplayList = std::shared_ptr<fz_display_list>;

class DisplayListCache {
public:
    // Recorded pages kept; a text-heavy page's list is a few hundred kilobytes.
    static constexpr int kKeptLists = 24;

    // Marks the page's list as just used; null when it is not kept.
    DisplayList find(int page);
    // Takes over a list just recorded and keeps it as the most recently used.
    DisplayList keep(int page, fz_display_list *recorded);
    void clear();

private:
    std::mutex m_mutex; // guards m_lists
    LruCache<int, DisplayList> m_lists{kKeptLists};
};
