// Metadata decoding of deeply nested iXML (64 KiB, 128 KiB and 1 MiB of "<a>" ... "</a>", the
// shape that once made the laid-out text grow with the square of the chunk) against baselines
// that touch the same bytes once: a plain copy and a scan that counts the tags.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "meta/Metadata.h"

namespace {

// About `bytes` bytes of XML nested as deep as it can go: every opening tag, then every closing.
std::string NestedXml(std::size_t bytes) {
    const std::size_t depth = bytes / 7;
    std::string text;
    text.reserve(depth * 7);
    for (std::size_t i = 0; i < depth; ++i)
        text += "<a>";
    for (std::size_t i = 0; i < depth; ++i)
        text += "</a>";
    return text;
}

void Sizes(benchmark::internal::Benchmark* bench) {
    bench->Arg(64 << 10)->Arg(128 << 10)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);
}

void SetBytes(benchmark::State& state, const std::string& xml) {
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(xml.size()));
}

void BaselineCopy(benchmark::State& state) {
    const std::string xml = NestedXml(std::size_t(state.range(0)));
    for (auto _ : state) {
        std::string copy = xml;
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    SetBytes(state, xml);
}
BENCHMARK(BaselineCopy)->Apply(Sizes);

void BaselineScan(benchmark::State& state) {
    const std::string xml = NestedXml(std::size_t(state.range(0)));
    for (auto _ : state) {
        auto tags = std::count(xml.begin(), xml.end(), '<');
        benchmark::DoNotOptimize(tags);
    }
    SetBytes(state, xml);
}
BENCHMARK(BaselineScan)->Apply(Sizes);

void IndentXmlNested(benchmark::State& state) {
    const std::string xml = NestedXml(std::size_t(state.range(0)));
    std::size_t laidOut = 0;
    for (auto _ : state) {
        TProblems problems;
        const std::string text = IndentXml(xml, "iXML", problems);
        laidOut = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    SetBytes(state, xml);
    state.counters["outPerIn"] = double(laidOut) / double(xml.size());
}
BENCHMARK(IndentXmlNested)->Apply(Sizes);

// The whole decoding of a file's metadata chunks, the iXML among them.
void DecodeMetadataNested(benchmark::State& state) {
    const std::string xml = NestedXml(std::size_t(state.range(0)));
    TMetaChunk chunk;
    chunk.Id = "iXML";
    chunk.Offset = 36;
    chunk.Size = chunk.BodySize = xml.size();
    chunk.Body = reinterpret_cast<const std::uint8_t*>(xml.data());
    const std::vector<TMetaChunk> chunks = {chunk};
    std::size_t laidOut = 0;
    for (auto _ : state) {
        TFileMetadata metadata = DecodeMetadata(chunks, 48000, false);
        laidOut = metadata.Ixml ? metadata.Ixml->size() : 0;
        benchmark::DoNotOptimize(&metadata);
    }
    SetBytes(state, xml);
    state.counters["outPerIn"] = double(laidOut) / double(xml.size());
}
BENCHMARK(DecodeMetadataNested)->Apply(Sizes);

} // namespace

BENCHMARK_MAIN();
