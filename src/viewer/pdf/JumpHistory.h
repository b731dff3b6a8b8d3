#pragma once
// The places a reader jumped from (a followed link, an outline entry, a typed
// page, a find hit …), to walk back and forward like a browser's history.
// Bounded; the oldest places go first. Scrolling is not a jump and is not kept.

#include <QPointF>

#include <deque>
#include <optional>

// Where the view stands: a page (from 0) and the page point at the view's top left.
struct ViewPlace {
    int page = -1;
    QPointF point;
    bool operator==(const ViewPlace &o) const { return page == o.page && point == o.point; }
};

class JumpHistory {
public:
    // A jump leaves `from`; the places ahead are forgotten.
    void jumpedFrom(const ViewPlace &from);
    // The place to go back or forward to from `current`, which is kept for the
    // other direction; nothing at either end.
    std::optional<ViewPlace> back(const ViewPlace &current);
    std::optional<ViewPlace> forward(const ViewPlace &current);
    void clear();

private:
    static constexpr size_t kLimit = 100;
    static void push(std::deque<ViewPlace> &places, const ViewPlace &place);

    std::deque<ViewPlace> m_back;    // most recent last
    std::deque<ViewPlace> m_forward; // most recent last
};
