#include "samples/FormatExport.h"

#include <vector>

#include "samples/ExportTarget.h"
#include "wave/Cancelled.h"
#include "wave/FileChanged.h"

void WriteFormatFile(const std::string& fileName, const TAudioSamples& samples,
                     const TProgressStep& progress) {
    WriteExportFile(fileName, [&](TExportSink& sink) {
        // Lines are formatted into a block and written a block at a time.
        constexpr std::size_t BlockSize = std::size_t(1) << 20;
        std::vector<char> block(BlockSize + samples.LongestLine());
        char* const begin = block.data();
        char* out = begin;
        const std::uint64_t frames = samples.Frames();
        for (std::uint64_t frame = 0; frame < frames; ++frame) {
            out = samples.FormatFrame(frame, out);
            if (out >= begin + BlockSize) {
                // A source cut short or rewritten meanwhile gives zeros or another file's
                // samples: the export stops, and the earlier target stays.
                if (samples.SourceChanged())
                    throw TFileChanged();
                sink.Write(begin, std::size_t(out - begin));
                out = begin;
                if (progress && !progress(frame + 1, frames))
                    throw TCancelled();
            }
        }
        if (samples.SourceChanged())
            throw TFileChanged();
        sink.Write(begin, std::size_t(out - begin));
    });
}
