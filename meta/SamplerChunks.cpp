// smpl and inst: how a sampler plays the file, its loops, notes and tuning.
#include "meta/ByteReader.h"
#include "meta/Metadata.h"

TSampler DecodeSmpl(const std::uint8_t* body, std::uint64_t size, bool bigEndian,
                    TProblems& problems) {
    TSampler sampler;
    TByteReader in(body, size, bigEndian);
    sampler.Manufacturer = in.U32();
    sampler.Product = in.U32();
    sampler.SamplePeriod = in.U32();
    sampler.UnityNote = in.U32();
    sampler.PitchFraction = in.U32();
    sampler.FineTuneCents = sampler.PitchFraction / 4294967296.0 * 100;
    sampler.SmpteFormat = in.U32();
    sampler.SmpteOffset = in.U32();
    const std::uint32_t loops = in.U32();
    in.U32(); // sampler data bytes
    if (in.Short()) {
        problems.push_back("The smpl chunk has " + std::to_string(size) +
                           " bytes, fewer than the 36 of its fields.");
        return sampler;
    }
    const std::uint64_t room = in.Left() / 24;
    if (loops > room)
        problems.push_back("The smpl chunk lists " + std::to_string(loops) +
                           " loops but has room for " + std::to_string(room) + ".");
    for (std::uint64_t i = 0; i < std::min<std::uint64_t>(loops, room); ++i) {
        TSampleLoop loop;
        loop.Id = in.U32();
        loop.Type = in.U32();
        loop.Start = in.U32();
        loop.End = in.U32();
        loop.Fraction = in.U32();
        loop.PlayCount = in.U32();
        sampler.Loops.push_back(loop);
    }
    return sampler;
}

TInstrument DecodeInst(const std::uint8_t* body, std::uint64_t size, TProblems& problems) {
    TInstrument instrument;
    TByteReader in(body, size, false);
    instrument.UnshiftedNote = in.U8();
    instrument.FineTune = std::int8_t(in.U8());
    instrument.Gain = std::int8_t(in.U8());
    instrument.LowNote = in.U8();
    instrument.HighNote = in.U8();
    instrument.LowVelocity = in.U8();
    instrument.HighVelocity = in.U8();
    if (in.Short())
        problems.push_back("The inst chunk has " + std::to_string(size) +
                           " bytes, fewer than its 7.");
    return instrument;
}
