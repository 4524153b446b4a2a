#pragma once

#include <cstdio>
#include <cstdlib>

// A property a fuzz target checks. A broken one names itself and aborts,
// which the fuzzer reports like a crash and keeps the input for.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)
