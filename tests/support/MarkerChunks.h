#pragma once
// The bodies of the chunks that mark places in a file: cue points, their labels (LIST/adtl)
// and sampler loops.

#include <cstdint>
#include <string>
#include <vector>

#include "wave/WaveBytes.h"

struct TCueAt {
    std::uint32_t Id = 0;
    std::uint32_t Frame = 0;
    std::string Label; // none where empty
};

// A cue chunk's body, one point per entry.
inline TBytes CueChunk(const std::vector<TCueAt>& points) {
    TBytes cue;
    PutU32(cue, std::uint32_t(points.size()));
    for (const TCueAt& p : points) {
        PutU32(cue, p.Id);
        PutU32(cue, p.Frame);
        PutText(cue, "data");
        PutU32(cue, 0);
        PutU32(cue, 0);
        PutU32(cue, p.Frame);
    }
    return cue;
}

// A LIST/adtl body with the labels of the points that have one.
inline TBytes LabelList(const std::vector<TCueAt>& points) {
    TBytes list;
    PutText(list, "adtl");
    for (const TCueAt& p : points) {
        if (p.Label.empty())
            continue;
        PutText(list, "labl");
        PutU32(list, std::uint32_t(4 + p.Label.size() + 1));
        PutU32(list, p.Id);
        PutText(list, p.Label);
        list.push_back(0);
        if (list.size() % 2 == 1)
            list.push_back(0);
    }
    return list;
}

struct TLoopOf {
    std::uint32_t Id = 0;
    std::uint32_t Start = 0, End = 0; // the end is the last frame played
};

// A smpl chunk's body with its loops (forward, endless).
inline TBytes SamplerChunk(const std::vector<TLoopOf>& loops) {
    TBytes smpl;
    for (std::uint32_t v : {0u, 0u, 22676u, 60u, 0u, 0u, 0u})
        PutU32(smpl, v);
    PutU32(smpl, std::uint32_t(loops.size()));
    PutU32(smpl, 0); // no sampler data
    for (const TLoopOf& l : loops)
        for (std::uint32_t v : {l.Id, 0u, l.Start, l.End, 0u, 0u})
            PutU32(smpl, v);
    return smpl;
}
