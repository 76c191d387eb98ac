// What the processor can do beyond the build's baseline, asked once.
//
// The passes over every byte of an opened file have forms for SSSE3 and
// AVX2, built with the target attribute and taken only where the processor
// has the instructions; every other processor takes the plain form.
#pragma once

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KORVANE_X86_DISPATCH 1
#include <immintrin.h>
#endif

namespace korvane {

#if defined(KORVANE_X86_DISPATCH)
inline bool cpuHasSsse3() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}

inline bool cpuHasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
    return has;
}
#endif

}  // namespace korvane
