#pragma once
// Whether the vector code built for AVX2 with FMA runs: where the CPU has both (x86-64 only;
// elsewhere the plain code runs), unless the plain code is asked for (a test holds the two to
// the same results).

#if defined(__x86_64__)
inline bool& PlainCodeOnly() {
    static bool plain = false;
    return plain;
}

inline bool HasAvx2Fma() {
    static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return has && !PlainCodeOnly();
}
#endif
