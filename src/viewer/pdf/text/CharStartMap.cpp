#include "viewer/pdf/text/CharStartMap.h"

#include <algorithm>

void CharStartMap::push_back(int value)
{
    const size_t index = m_size++;
    if (index % StepsPerWord == 0)
        m_steps.push_back(0);
    if (index % Stride == 0) {
        m_checkpoints.push_back(value);
    } else {
        const int step = value - m_last;
        std::uint64_t code = std::uint64_t(step);
        if (step >= int(LongStep)) {
            code = LongStep;
            m_longSteps.emplace_back(std::uint32_t(index), step);
        }
        m_steps.back() |= code << (2 * (index % StepsPerWord));
    }
    m_last = value;
}

int CharStartMap::longStepAt(size_t index) const
{
    const auto it = std::lower_bound(m_longSteps.begin(), m_longSteps.end(),
                                     std::make_pair(std::uint32_t(index), 0));
    return it->second;
}

int CharStartMap::operator[](size_t index) const
{
    const size_t base = index - index % Stride;
    int value = m_checkpoints[base / Stride];
    for (size_t i = base + 1; i <= index; ++i) {
        const unsigned code = codeAt(i);
        value += code == LongStep ? longStepAt(i) : int(code);
    }
    return value;
}

void CharStartMap::reserve(size_t count)
{
    m_steps.reserve(count / StepsPerWord + 1);
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
    return m_steps.capacity() * sizeof(std::uint64_t) + m_checkpoints.capacity() * sizeof(int)
        + m_longSteps.capacity() * sizeof(m_longSteps[0]);
}
