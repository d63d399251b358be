#include "AllocationCount.h"

#include <atomic>

namespace vantora::bench {

namespace {

std::atomic<bool> counting{false};
std::atomic<std::size_t> allocationCount{0};
std::atomic<std::size_t> allocatedBytes{0};

void count(std::size_t size)
{
    if (counting.load(std::memory_order_relaxed)) {
        allocationCount.fetch_add(1, std::memory_order_relaxed);
        allocatedBytes.fetch_add(size, std::memory_order_relaxed);
    }
}

} // namespace

void startCountingAllocations()
{
    allocationCount = 0;
    allocatedBytes = 0;
    counting = true;
}

Allocations stopCountingAllocations()
{
    counting = false;
    return {allocationCount.load(), allocatedBytes.load()};
}

} // namespace vantora::bench

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTORA_BENCH_SANITIZED
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(VANTORA_BENCH_SANITIZED)

bool vantora::bench::allocationsAreCounted()
{
    return false;
}

#else

// glibc lets a program supply its own malloc family; these count and hand on to glibc's.
extern "C" {
void *__libc_malloc(std::size_t size);
void *__libc_calloc(std::size_t count, std::size_t size);
void *__libc_realloc(void *pointer, std::size_t size);

void *malloc(std::size_t size)
{
    vantora::bench::count(size);
    return __libc_malloc(size);
}

void *calloc(std::size_t count, std::size_t size)
{
    vantora::bench::count(count * size);
    return __libc_calloc(count, size);
}

void *realloc(void *pointer, std::size_t size)
{
    vantora::bench::count(size);
    return __libc_realloc(pointer, size);
}
}

bool vantora::bench::allocationsAreCounted()
{
    return true;
}

#endif
