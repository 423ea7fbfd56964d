#pragma once

#include <cstdio>
#include <cstdlib>

// An invariant of a fuzz target: a violation aborts, which libFuzzer reports with the input that caused it.
inline void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}
