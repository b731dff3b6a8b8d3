#pragma once
// A non-decreasing list of character numbers in about one byte each: the step from
// the previous entry in a byte, with the full value every Stride entries, so an
// entry is found by adding at most Stride - 1 steps. Steps of 255 and more (a
// long run of blanks) are kept apart.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class CharStartMap {
public:
    // Values must never decrease.
    void push_back(int value);
    int operator[](size_t index) const;
    size_t size() const { return m_steps.size(); }
    void reserve(size_t count);
    void shrink_to_fit();
    size_t bytes() const;

private:
    static constexpr size_t Stride = 32;
    static constexpr std::uint8_t LongStep = 255;
    int stepAt(size_t index) const;

    std::vector<int> m_checkpoints;       // the value of entry k * Stride
    std::vector<std::uint8_t> m_steps;    // entry i minus entry i - 1; 0 at checkpoints
    std::vector<std::pair<std::uint32_t, int>> m_longSteps; // (entry, step), in order
    int m_last = 0;
};
