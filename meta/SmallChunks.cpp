// PEAK, acid and ds64: a few numbers each.
#include "meta/ByteReader.h"
#include "meta/Metadata.h"

TPeakEnvelope DecodePeak(const std::uint8_t* body, std::uint64_t size, bool bigEndian,
                         TProblems& problems) {
    TPeakEnvelope peak;
    TByteReader in(body, size, bigEndian);
    peak.Version = in.U32();
    peak.Timestamp = in.U32();
    while (in.Left() >= 8) {
        const float value = in.F32();
        peak.Peaks.emplace_back(value, in.U32());
    }
    if (in.Short() || in.Left() != 0)
        problems.push_back("The PEAK chunk's size is not 8 bytes and 8 a channel.");
    return peak;
}

TAcid DecodeAcid(const std::uint8_t* body, std::uint64_t size, bool bigEndian,
                 TProblems& problems) {
    TAcid acid;
    TByteReader in(body, size, bigEndian);
    acid.Flags = in.U32();
    acid.RootNote = in.U16();
    in.Skip(2 + 4); // two fields of no known meaning
    acid.Beats = in.U32();
    acid.MeterDenominator = in.U16();
    acid.MeterNumerator = in.U16();
    acid.Tempo = in.F32();
    if (in.Short())
        problems.push_back("The acid chunk has " + std::to_string(size) +
                           " bytes, fewer than its 24.");
    return acid;
}

TDs64Sizes DecodeDs64(const std::uint8_t* body, std::uint64_t size, TProblems& problems) {
    TDs64Sizes sizes;
    TByteReader in(body, size, false);
    sizes.RiffSize = in.U64();
    sizes.DataSize = in.U64();
    sizes.SampleCount = in.U64();
    const std::uint32_t entries = in.U32();
    if (in.Short()) {
        problems.push_back("The ds64 chunk has " + std::to_string(size) +
                           " bytes, fewer than the 28 of its fields.");
        return sizes;
    }
    for (std::uint32_t i = 0; i < entries && in.Left() >= 12; ++i) {
        std::string id = in.Raw(4);
        sizes.Table.emplace_back(std::move(id), in.U64());
    }
    if (sizes.Table.size() < entries)
        problems.push_back("The ds64 chunk lists " + std::to_string(entries) +
                           " chunk sizes but has room for " + std::to_string(sizes.Table.size()) +
                           ".");
    return sizes;
}
