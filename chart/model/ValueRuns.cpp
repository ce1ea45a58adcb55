#include "chart/model/ValueRuns.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

bool NonDecreasing(const double* x, int count) {
    int i = 1;
    int ordered = 1;
#if defined(__SSE2__)
    // Two neighbours at a time: x[i], x[i+1] against x[i-1], x[i]; a NaN compares false.
    int mask = 3;
    for (; i + 2 <= count; i += 2)
        mask &= _mm_movemask_pd(_mm_cmpge_pd(_mm_loadu_pd(x + i), _mm_loadu_pd(x + i - 1)));
    ordered = mask == 3;
#endif
    for (; i < count; ++i)
        ordered &= x[i] >= x[i - 1];
    return ordered != 0;
}

bool FollowsRule(const double* values, int count, double first, int start) {
    int k = 0;
    std::uint64_t differ = 0;
#if defined(__SSE2__)
    const __m128d base = _mm_set1_pd(first);
    __m128d index = _mm_set_pd(double(start) + 1, double(start));
    const __m128d two = _mm_set1_pd(2);
    __m128i apart = _mm_setzero_si128();
    for (; k + 2 <= count; k += 2) {
        const __m128d expected = _mm_add_pd(base, index);
        apart = _mm_or_si128(
            apart, _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(values + k)),
                                 _mm_castpd_si128(expected)));
        index = _mm_add_pd(index, two);
    }
    std::uint64_t lanes[2];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), apart);
    differ = lanes[0] | lanes[1];
#endif
    for (; k < count; ++k)
        differ |= std::bit_cast<std::uint64_t>(values[k]) ^
                  std::bit_cast<std::uint64_t>(first + double(start + k));
    return differ == 0;
}
