#include "PageSetbacks.h"

#include "shim/shim_alloc.h"

void PageSetbacks::giveUp(int page, double scale)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!known(page))
        return;
    if (scale == kWholePage)
        m_setbacks[page].recordingTooSlow = true;
    else
        m_setbacks[page].drawingTooSlowAt = scale;
}

bool PageSetbacks::givenUp(int page, double scale) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!known(page))
        return false;
    const Setback &setback = m_setbacks[page];
    return setback.recordingTooSlow || qFuzzyCompare(setback.drawingTooSlowAt, scale);
}

void PageSetbacks::recorded(int page, bool memoryFull)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!known(page))
        return;
    Setback &setback = m_setbacks[page];
    setback.memoryFull = memoryFull;
    setback.roomWhenFull = memoryFull ? vshim_allocation_room() : 0;
}

bool PageSetbacks::waitingForMemory(int page) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return known(page) && m_setbacks[page].memoryFull;
}

bool PageSetbacks::blocked(int page) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!known(page))
        return false;
    const Setback &setback = m_setbacks[page];
    return setback.recordingTooSlow
           || (setback.memoryFull && vshim_allocation_room() <= setback.roomWhenFull);
}
