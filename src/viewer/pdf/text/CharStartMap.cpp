#include "viewer/pdf/text/CharStartMap.h"

#include <algorithm>

void CharStartMap::push_back(int value)
{
    const size_t index = m_steps.size();
    if (index % Stride == 0) {
        m_checkpoints.push_back(value);
        m_steps.push_back(0);
    } else {
        const int step = value - m_last;
        if (step >= LongStep) {
            m_steps.push_back(LongStep);
            m_longSteps.emplace_back(std::uint32_t(index), step);
        } else {
            m_steps.push_back(std::uint8_t(step));
        }
    }
    m_last = value;
}

int CharStartMap::stepAt(size_t index) const
{
    const std::uint8_t step = m_steps[index];
    if (step != LongStep)
        return step;
    const auto it = std::lower_bound(m_longSteps.begin(), m_longSteps.end(),
                                     std::make_pair(std::uint32_t(index), 0));
    return it->second;
}

int CharStartMap::operator[](size_t index) const
{
    const size_t base = index - index % Stride;
    int value = m_checkpoints[base / Stride];
    for (size_t i = base + 1; i <= index; ++i)
        value += stepAt(i);
    return value;
}

void CharStartMap::reserve(size_t count)
{
    m_steps.reserve(count);
    m_checkpoints.reserve(count / Stride + 1);
}

void CharStartMap::shrink_to_fit()
{
    m_steps.shrink_to_fit();
    m_checkpoints.shrink_to_fit();
    m_longSteps.shrink_to_fit();
}

size_t CharStartMap::bytes() const
{
    return m_steps.capacity() + m_checkpoints.capacity() * sizeof(int)
        + m_longSteps.capacity() * sizeof(m_longSteps[0]);
}
