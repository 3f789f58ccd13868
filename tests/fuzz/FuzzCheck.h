#pragma once

#include <QString>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

// Ends the run with a finding when a property does not hold; libFuzzer keeps the input.
inline void require(bool holds, const char* property)
{
    if (holds)
        return;
    std::fprintf(stderr, "Property violated: %s\n", property);
    std::abort();
}

} // namespace fuzz
