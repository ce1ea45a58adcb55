#include "spectrum/SpectrogramView.h"

THopRange HopsOfColumn(const TSpectrogramView& view, int column) {
    if (view.LastHop < view.FirstHop || view.Width <= 0)
        return {view.FirstHop, view.FirstHop};
    const std::uint64_t hops = view.LastHop - view.FirstHop + 1;
    const auto width = std::uint64_t(view.Width);
    const auto c = std::uint64_t(column);
    // 128-bit products: hours of short hops times a wide view stay exact.
    const auto start = std::uint64_t((unsigned __int128)c * hops / width);
    const auto next = std::uint64_t((unsigned __int128)(c + 1) * hops / width);
    const std::uint64_t last = next > start ? next - 1 : start;
    return {view.FirstHop + start, view.FirstHop + last};
}
