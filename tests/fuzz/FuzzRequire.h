#pragma once

#include <cstdio>
#include <cstdlib>

namespace vantora::testing {

// Ends the run when a property of the code under test does not hold, so that the fuzzer
// keeps the input as a crash (and a corpus replay fails on it).
inline void fuzzRequire(bool holds, const char *property)
{
    if (holds)
        return;
    std::fprintf(stderr, "Property broken: %s\n", property);
    std::abort();
}

} // namespace vantora::testing
