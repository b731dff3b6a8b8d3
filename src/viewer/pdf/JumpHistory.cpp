#include "JumpHistory.h"

void JumpHistory::push(std::deque<ViewPlace> &places, const ViewPlace &place)
{
    // A jump that did not move (a find hit already in view) adds nothing.
    if (!places.empty() && places.back() == place)
        return;
    places.push_back(place);
    if (places.size() > kLimit)
        places.pop_front();
}

void JumpHistory::jumpedFrom(const ViewPlace &from)
{
    push(m_back, from);
    m_forward.clear();
}

std::optional<ViewPlace> JumpHistory::back(const ViewPlace &current)
{
    // Back from a place the last jump left does nothing visible: go further.
    while (!m_back.empty() && m_back.back() == current)
        m_back.pop_back();
    if (m_back.empty())
        return std::nullopt;
    const ViewPlace place = m_back.back();
    m_back.pop_back();
    push(m_forward, current);
    return place;
}

std::optional<ViewPlace> JumpHistory::forward(const ViewPlace &current)
{
    while (!m_forward.empty() && m_forward.back() == current)
        m_forward.pop_back();
    if (m_forward.empty())
        return std::nullopt;
    const ViewPlace place = m_forward.back();
    m_forward.pop_back();
    push(m_back, current);
    return place;
}

void JumpHistory::clear()
{
    m_back.clear();
    m_forward.clear();
}
