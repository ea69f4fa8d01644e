#pragma once

#include <cstdio>
#include <cstdlib>

// A broken expectation ends the fuzz run with the expression and its line,
// so that libFuzzer keeps the input that broke it.
#define REQUIRE(condition)                                                                                             \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: %s does not hold\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)
