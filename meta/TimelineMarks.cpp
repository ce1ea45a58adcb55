#include "meta/TimelineMarks.h"

#include <map>
#include <utility>

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
    // The loops not yet paired, by id and start; loops of the same key keep their order, so a
    // cue point takes the first of them.
    std::multimap<std::pair<std::uint32_t, std::uint64_t>, std::size_t> unpaired;
    for (std::size_t i = 0; i < loops.size(); ++i)
        unpaired.emplace(std::pair{loops[i].Id, std::uint64_t(loops[i].Start)}, i);
    std::vector<bool> paired(loops.size(), false);
    marks.reserve(meta.Markers.size() + loops.size());
    for (const TMarker& m : meta.Markers) {
        TTimelineMark mark{m.Frame, m.Length.value_or(0), m.Label, m.Id};
        const auto loop = unpaired.lower_bound({m.Id, m.Frame});
        if (loop != unpaired.end() && loop->first == std::pair{m.Id, m.Frame}) {
            paired[loop->second] = true;
            if (!m.Length)
                mark.Length = LoopLength(loops[loop->second]);
            unpaired.erase(loop);
        }
        marks.push_back(mark);
    }
    for (std::size_t i = 0; i < loops.size(); ++i)
        if (!paired[i])
            marks.push_back({loops[i].Start, LoopLength(loops[i]), {}, std::nullopt});
    return marks;
}
