#pragma once

#include <random>
#include <set>

namespace vantora::recorder {

// Which of the three rows of the miniature panel are lit next: one or two rows at random,
// never the same set twice in a row.
class LitRows final {
public:
    static constexpr int rowCount = 3;

    explicit LitRows(std::uint32_t seed);

    std::set<int> next(const std::set<int> &current);

    // The candidate, unless it repeats `current`: then the row after its first member alone.
    static std::set<int> avoidingRepeat(const std::set<int> &current, const std::set<int> &candidate);

private:
    std::mt19937 m_random;
};

} // namespace vantora::recorder
