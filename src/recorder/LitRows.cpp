#include "recorder/LitRows.h"

#include <algorithm>
#include <array>

namespace vantora::recorder {

LitRows::LitRows(std::uint32_t seed)
    : m_random(seed)
{
}

std::set<int> LitRows::next(const std::set<int> &current)
{
    std::array<int, rowCount> rows{0, 1, 2};
    std::shuffle(rows.begin(), rows.end(), m_random);
    const int count = std::uniform_int_distribution<int>(1, 2)(m_random);
    return avoidingRepeat(current, std::set<int>(rows.begin(), rows.begin() + count));
}

std::set<int> LitRows::avoidingRepeat(const std::set<int> &current, const std::set<int> &candidate)
{
    if (candidate != current || candidate.empty())
        return candidate;
    return {(*candidate.begin() + 1) % rowCount};
}

} // namespace vantora::recorder
