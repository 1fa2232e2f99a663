#pragma once

#include <cstdio>
#include <cstdlib>

// Ends the run when a property every input must keep does not hold: libFuzzer then saves the
// input as a reproducer, and a replay of the corpus fails.
inline void fuzzCheck(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}
