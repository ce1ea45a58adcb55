#include "chart/model/MinMaxSummary.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "chart/model/OutsideValues.h"

// The lowest and highest of a block, the first of equal ones as a pass in index order finds
// them. Two values that compare equal differ in their bits only as +0 and -0, so lanes that
// meet the values in another order give the same answer, except that a zero extreme is then
// taken again as the block's first zero. A block with a NaN is folded in order (and counted).
std::pair<double, double> TMinMaxSummary::BlockExtremes(const double* values, int count) {
    double low = values[0], high = values[0];
    int k = 0;
    bool nan = false;
#if defined(__SSE2__)
    // _mm_min_pd(v, m) is v < m ? v : m, and _mm_max_pd(v, m) is v > m ? v : m, lane by lane.
    __m128d low0 = _mm_set1_pd(low), low1 = low0, high0 = low0, high1 = low0;
    __m128d unordered = _mm_setzero_pd();
    for (; k + 4 <= count; k += 4) {
        const __m128d a = _mm_loadu_pd(values + k), b = _mm_loadu_pd(values + k + 2);
        low0 = _mm_min_pd(a, low0);
        low1 = _mm_min_pd(b, low1);
        high0 = _mm_max_pd(a, high0);
        high1 = _mm_max_pd(b, high1);
        unordered = _mm_or_pd(unordered, _mm_or_pd(_mm_cmpunord_pd(a, a), _mm_cmpunord_pd(b, b)));
    }
    nan = _mm_movemask_pd(unordered) != 0;
    double lanes[8];
    _mm_storeu_pd(lanes, low0);
    _mm_storeu_pd(lanes + 2, low1);
    _mm_storeu_pd(lanes + 4, high0);
    _mm_storeu_pd(lanes + 6, high1);
    for (int lane = 0; lane < 4; ++lane) {
        low = lanes[lane] < low ? lanes[lane] : low;
        high = lanes[4 + lane] > high ? lanes[4 + lane] : high;
    }
#endif
    for (; k < count; ++k) {
        const double v = values[k];
        nan |= v != v;
        low = v < low ? v : low;
        high = v > high ? v : high;
    }
    if (nan || low != low || high != high) {
        low = high = values[0];
        for (k = 0; k < count; ++k) {
            const double v = values[k];
            NaNCount += v != v;
            low = v < low ? v : low;
            high = v > high ? v : high;
        }
        return {low, high};
    }
    if (low == 0 || high == 0) {
        const double firstZero = *std::find(values, values + count, 0.0);
        low = low == 0 ? firstZero : low;
        high = high == 0 ? firstZero : high;
    }
    return {low, high};
}

void TMinMaxSummary::Clear() {
    Levels.clear();
    Covered = 0;
    NaNCount = 0;
}

void TMinMaxSummary::Truncate(int covered) {
    for (std::size_t level = 0; level < Levels.size(); ++level) {
        // A block is kept only when every value it covers is still summarised.
        const std::size_t blocks = std::size_t(covered) >> Shift(level);
        Levels[level].Min.resize(std::min(blocks, Levels[level].Min.size()));
        Levels[level].Max.resize(std::min(blocks, Levels[level].Max.size()));
    }
    Covered = covered;
}

void TMinMaxSummary::Forget(int from) {
    if (from >= Covered)
        return;
    // NaNs are counted over the covered values: recount from scratch on the next Update.
    if (NaNCount > 0) {
        Clear();
        return;
    }
    Truncate((std::max(from, 0) >> BaseShift) << BaseShift);
}

void TMinMaxSummary::Update(const double* values, int count) {
    if (count < Covered)
        Forget(count);
    if (count == Covered)
        return;
    if (Levels.empty())
        Levels.emplace_back();
    // First level: the new values, folded into their blocks (the last one may be partial).
    const int firstNew = Covered;
    for (int i = firstNew; i < count;) {
        const std::size_t block = std::size_t(i) >> BaseShift;
        const int end = std::min(count, int((block + 1) << BaseShift));
        auto [low, high] = BlockExtremes(values + i, end - i);
        TLevel& base = Levels[0];
        if (block == base.Min.size()) {
            base.Min.push_back(low);
            base.Max.push_back(high);
        } else {
            base.Min[block] = std::min(base.Min[block], low);
            base.Max[block] = std::max(base.Max[block], high);
        }
        i = end;
    }
    Covered = count;
    UpdateHigherLevels(firstNew);
}

void TMinMaxSummary::UpdateHigherLevels(int firstNew) {
    // Each higher level: its blocks over the changed blocks of the level below, again.
    for (std::size_t level = 1;; ++level) {
        if (Levels[level - 1].Min.size() <= 1) {
            Levels.resize(level); // one block at the top: no level above it
            break;
        }
        if (level == Levels.size())
            Levels.emplace_back();
        const TLevel& below = Levels[level - 1];
        TLevel& here = Levels[level];
        const std::size_t firstBlock = (std::size_t(firstNew) >> Shift(level));
        const std::size_t blocks = ((below.Min.size() - 1) >> LevelShift) + 1;
        here.Min.resize(blocks);
        here.Max.resize(blocks);
        for (std::size_t b = firstBlock; b < blocks; ++b) {
            const std::size_t from = b << LevelShift;
            const std::size_t to =
                std::min(below.Min.size(), from + (std::size_t(1) << LevelShift));
            here.Min[b] = *std::min_element(below.Min.begin() + from, below.Min.begin() + to);
            here.Max[b] = *std::max_element(below.Max.begin() + from, below.Max.begin() + to);
        }
    }
}

void TMinMaxSummary::UpdateFrom(const TOutsideValues& values, int count) {
    if (count < Covered)
        Forget(count);
    if (count == Covered)
        return;
    // Whole blocks of the first level again from the one the new values start in (their
    // NaNs are counted again, so a partial block with one starts the count afresh).
    if (NaNCount > 0 && (Covered & ((1 << BaseShift) - 1)) != 0)
        Clear();
    Truncate((Covered >> BaseShift) << BaseShift);
    if (Levels.empty())
        Levels.emplace_back();
    const int firstNew = Covered;
    const int firstBlock = firstNew >> BaseShift;
    const int blocks = ((count - 1) >> BaseShift) + 1 - firstBlock;
    TLevel& base = Levels[0];
    base.Min.resize(std::size_t(firstBlock + blocks));
    base.Max.resize(std::size_t(firstBlock + blocks));
    // Each worker takes a run of whole blocks; NaNs are counted apart and added up.
    const auto summarise = [&](int from, int to, int& nanCount) {
        if (values.BlockExtremes(from, to - from, BaseShift, base.Min.data() + from,
                                 base.Max.data() + from))
            return;
        TMinMaxSummary part; // its own NaN count
        constexpr int Stretch = 1 << 12;
        std::vector<double> buffer(std::size_t(Stretch) << BaseShift);
        for (int b = from; b < to; b += Stretch) {
            const int first = b << BaseShift;
            const int end = std::min(count, std::min(to, b + Stretch) << BaseShift);
            values.Read(first, end - first, buffer.data());
            for (int i = first; i < end; i += 1 << BaseShift) {
                const int n = std::min(1 << BaseShift, end - i);
                const auto [low, high] = part.BlockExtremes(buffer.data() + (i - first), n);
                base.Min[std::size_t(i >> BaseShift)] = low;
                base.Max[std::size_t(i >> BaseShift)] = high;
            }
        }
        nanCount = part.NaNCount;
    };
    // Two workers for counts where a second thread pays for itself.
    constexpr int ParallelFrom = 1 << 22;
    int nanFirst = 0, nanSecond = 0;
    if (count - firstNew >= ParallelFrom && std::thread::hardware_concurrency() > 1) {
        const int middle = firstBlock + blocks / 2;
        std::thread second([&] { summarise(middle, firstBlock + blocks, nanSecond); });
        summarise(firstBlock, middle, nanFirst);
        second.join();
    } else {
        summarise(firstBlock, firstBlock + blocks, nanFirst);
    }
    NaNCount += nanFirst + nanSecond;
    Covered = count;
    UpdateHigherLevels(firstNew);
}

void TMinMaxSummary::Reserve(long long entries) {
    if (Levels.empty())
        Levels.emplace_back();
    for (std::size_t level = 0;; ++level) {
        const long long blocks = ((entries - 1) >> Shift(level)) + 1;
        if (level == Levels.size())
            Levels.emplace_back();
        Levels[level].Min.reserve(std::size_t(blocks));
        Levels[level].Max.reserve(std::size_t(blocks));
        if (blocks <= 1)
            break;
    }
}
