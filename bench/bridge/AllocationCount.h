#pragma once

#include <cstddef>
#include <optional>

namespace vantora::bench {

// Heap allocations (malloc, calloc, realloc, and so operator new and Qt's containers) made
// by this process while `work` runs. Absent in builds with a sanitizer, which owns malloc.
struct Allocations {
    std::size_t count = 0;
    std::size_t bytes = 0;
};

bool allocationsAreCounted();
void startCountingAllocations();
Allocations stopCountingAllocations();

template <typename Work>
std::optional<Allocations> allocationsOf(Work &&work)
{
    if (!allocationsAreCounted())
        return std::nullopt;
    startCountingAllocations();
    work();
    return stopCountingAllocations();
}

} // namespace vantora::bench
