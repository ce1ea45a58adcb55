#include "wave/AudioFile.h"

#include <algorithm>
#include <new>

#include "wave/WaveSource.h"

TAudioFile AudioFileOf(std::shared_ptr<const TFileBytes> bytes) {
    TAudioFile file;
    file.Facts = ReadAudioFacts(bytes->Data(), bytes->Size());
    file.Bytes = std::move(bytes);
    return file;
}

TAudioFile OpenAudioFile(const std::string& name, bool acceptStreams) {
    try {
        return AudioFileOf(TFileBytes::Open(name, acceptStreams));
    } catch (const TReadError& error) {
        TAudioFile file;
        std::string why = error.Problem.empty() ? "The file cannot be read." : error.Problem;
        if (why.back() != '.')
            why += '.';
        file.Facts.Refuse(why);
        return file;
    } catch (const std::bad_alloc&) {
        TAudioFile file;
        file.Facts.Refuse("Out of memory.");
        return file;
    }
}

std::vector<TMetaChunk> MetadataChunks(const TAudioFile& file) {
    std::vector<TMetaChunk> chunks;
    if (!file.Bytes)
        return chunks;
    const std::uint64_t size = file.Bytes->Size();
    for (const TAudioChunk& chunk : file.Facts.Chunks) {
        if (chunk.Id == "fmt " || chunk.Id == "data")
            continue;
        const std::uint64_t body = std::min(size, chunk.Offset + 8);
        const std::uint64_t there = std::min(chunk.Size, size - body);
        chunks.push_back({chunk.Id, chunk.Offset, chunk.Size, file.Bytes->Data() + body, there});
    }
    return chunks;
}

TFileMetadata MetadataOf(const TAudioFile& file) {
    const TAudioFacts& facts = file.Facts;
    return DecodeMetadata(MetadataChunks(file), facts.HasFormat ? facts.Format.SampleRate : 0,
                          facts.Container == "RIFX");
}
