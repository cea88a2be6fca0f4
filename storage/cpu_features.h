#pragma once

// The vector instructions the byte scans may use beyond the compiler's
// baseline, chosen when the program runs (x86-64 with GCC or Clang only).
#if defined(__GNUC__) && defined(__x86_64__)
#define GEARLEDGER_X86_64 1
#include <immintrin.h>
#endif

namespace storage {

// Cleared by tests to run the baseline scans on machines that have AVX2.
inline bool &avx2Allowed()
{
    static bool allowed = true;
    return allowed;
}

// AVX2 with the bit instructions (BMI1, POPCNT) that every AVX2 processor has.
inline bool hasAvx2()
{
#if defined(GEARLEDGER_X86_64)
    static const bool has =
        __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("popcnt");
    return has && avx2Allowed();
#else
    return false;
#endif
}

} // namespace storage
