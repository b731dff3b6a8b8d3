#pragma once
// Why a page of one document is not drawn for now: the give-up policy.
//
// A page whose recording ran past its time limit is given up for as long as
// the document is open: recording does not depend on the zoom, so trying
// again would only cost that time again (reopening the file tries afresh).
// A page whose drawing ran past the limit is given up at that scale only:
// another zoom draws less of it per tile, so it is tried once more there.
// A page whose recording found MuPDF's memory full waits until the memory has
// more room than at that failure (other pages or documents freed it).
//
// Any thread: its lock is taken with nothing else locked inside it.

#include <QVector>

#include <cstddef>
#include <mutex>

class PageSetbacks {
public:
    static constexpr double kWholePage = 0; // the scale that stands for the recording

    explicit PageSetbacks(int pageCount) : m_setbacks(pageCount) {}

    void giveUp(int page, double scale);
    bool givenUp(int page, double scale) const;
    // Notes how the page's last recording went: failed for want of memory or not.
    void recorded(int page, bool memoryFull);
    bool waitingForMemory(int page) const;
    // Recording the page now would be wasted.
    bool blocked(int page) const;

private:
    struct Setback {
        bool recordingTooSlow = false;
        double drawingTooSlowAt = -1; // the scale whose drawing ran out of time
        size_t roomWhenFull = 0;      // capped memory room when recording failed for want of it
        bool memoryFull = false;
    };
    bool known(int page) const { return page >= 0 && page < m_setbacks.size(); }

    mutable std::mutex m_mutex; // guards m_setbacks
    QVector<Setback> m_setbacks;
};
