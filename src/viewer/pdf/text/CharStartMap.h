#pragma once
// A non-decreasing list of character numbers in about a third of a byte each: the
// step from the previous entry in two bits (0, 1, 2, or 3 for "see the long steps"),
// with the full value every Stride entries, so an entry is found by adding at most
// Stride - 1 steps. Steps of 3 and more (a run of blanks) are kept apart.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class CharStartMap {
public:
    // Values must never decrease.
    void push_back(int value);
    int operator[](size_t index) const;
    size_t size() const { return m_size; }
    void reserve(size_t count);
    void shrink_to_fit();
    size_t bytes() const;

private:
    static constexpr size_t Stride = 64;
    static constexpr size_t StepsPerWord = 32;
    static constexpr unsigned LongStep = 3;
    unsigned codeAt(size_t index) const
    {
        return unsigned(m_steps[index / StepsPerWord] >> (2 * (index % StepsPerWord))) & 3u;
    }
    int longStepAt(size_t index) const;

    std::vector<int> m_checkpoints;          // the value of entry k * Stride
    std::vector<std::uint64_t> m_steps;      // two bits an entry; 0 at checkpoints
    std::vector<std::pair<std::uint32_t, int>> m_longSteps; // (entry, step), in order
    size_t m_size = 0;
    int m_last = 0;
};
