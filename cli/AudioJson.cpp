#include "cli/AudioJson.h"

void WriteAudioJson(TJsonWriter& json, const TAudioFacts& facts,
                    const std::vector<std::string>& more) {
    if (!facts.IsWave) {
        json.Null("audio");
    } else {
        const TWaveFormat& f = facts.Format;
        json.BeginObject("audio").String("container", facts.Container);
        if (facts.HasFormat) {
            json.String("encoding", EncodingKey(f))
                .Number("formatTag", f.FormatTag)
                .Number("channels", f.Channels)
                .Number("sampleRate", f.SampleRate)
                .Number("bitsPerSample", f.BitsPerSample)
                .Number("validBits", f.ValidBits)
                .Number("channelMask", f.ChannelMask)
                .Number("blockAlign", f.BlockAlign);
        }
        json.Number("frames", std::int64_t(facts.Frames)).Double("seconds", facts.Seconds);
        if (facts.HasData)
            json.Number("dataOffset", std::int64_t(facts.DataOffset))
                .Number("dataSize", std::int64_t(facts.DataSize));
        json.BeginArray("chunks");
        for (const TAudioChunk& chunk : facts.Chunks)
            json.BeginObject()
                .String("id", chunk.Id)
                .Number("offset", std::int64_t(chunk.Offset))
                .Number("size", std::int64_t(chunk.Size))
                .Bool("padded", chunk.Padded)
                .EndObject();
        json.EndArray().EndObject();
    }
    json.BeginArray("problems");
    for (const auto* list : {&facts.Problems, &more})
        for (const std::string& problem : *list)
            json.String({}, problem);
    json.EndArray();
}
