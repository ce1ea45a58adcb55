#include "meta/TimelineMarks.h"

namespace {

// A loop's frames: its end is the last frame it plays. A loop that ends before it starts spans
// nothing.
std::uint64_t LoopLength(const TSampleLoop& loop) {
    return loop.End >= loop.Start ? std::uint64_t(loop.End) - loop.Start + 1 : 0;
}

} // namespace

std::vector<TTimelineMark> TimelineMarks(const TFileMetadata& meta) {
    std::vector<TTimelineMark> marks;
    const std::vector<TSampleLoop> noLoops;
    const std::vector<TSampleLoop>& loops = meta.Sampler ? meta.Sampler->Loops : noLoops;
    std::vector<bool> paired(loops.size(), false);
    for (const TMarker& m : meta.Markers) {
        TTimelineMark mark{m.Frame, m.Length.value_or(0), m.Label, m.Id};
        for (std::size_t i = 0; i < loops.size(); ++i) {
            if (paired[i] || loops[i].Id != m.Id || loops[i].Start != m.Frame)
                continue;
            paired[i] = true;
            if (!m.Length)
                mark.Length = LoopLength(loops[i]);
            break;
        }
        marks.push_back(mark);
    }
    for (std::size_t i = 0; i < loops.size(); ++i)
        if (!paired[i])
            marks.push_back({loops[i].Start, LoopLength(loops[i]), {}, std::nullopt});
    return marks;
}
