#include "samples/SaveAsciiFile.h"

#include <charconv>
#include <stdexcept>
#include <vector>

#include "samples/ExportTarget.h"
#include "samples/SampleStore.h"
#include "wave/Cancelled.h"

namespace {

// Lines are formatted into a buffer of this size and written a block at a time.
constexpr std::size_t BlockSize = std::size_t(1) << 20;
// The longest line: a space, an int32, a space, an int32, CR LF.
constexpr std::size_t LongestLine = 1 + 11 + 1 + 11 + 2;

char* FormatLine(char* out, std::int32_t left, std::int32_t right) {
    *out++ = ' ';
    out = std::to_chars(out, out + 11, left).ptr;
    *out++ = ' ';
    out = std::to_chars(out, out + 11, right).ptr;
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

} // namespace

std::string AsciiFileNameFor(const std::string& waveFileName) {
    std::size_t last = waveFileName.find_last_of(".\\/:");
    if (last != std::string::npos && waveFileName[last] == '.')
        return waveFileName.substr(0, last) + "_out.dat";
    return waveFileName + "_out.dat";
}

namespace {

// Formats every frame into `file`, a block at a time.
void WriteFrames(TExportSink& file, int count, const std::int32_t* left, const std::int32_t* right,
                 const TProgressStep& progress) {
    std::vector<char> block(BlockSize);
    char* const begin = block.data();
    char* const flushAt = begin + BlockSize - LongestLine;
    char* out = begin;
    for (int i = 0; i < count; ++i) {
        out = FormatLine(out, left[i], right[i]);
        if (out >= flushAt) {
            file.Write(begin, static_cast<std::size_t>(out - begin));
            out = begin;
            if (progress && !progress(std::uint64_t(i) + 1, std::uint64_t(count)))
                throw TCancelled();
        }
    }
    file.Write(begin, static_cast<std::size_t>(out - begin));
}

} // namespace

void WriteAsciiFile(const std::string& fileName, int count, const std::int32_t* left,
                    const std::int32_t* right, const TProgressStep& progress) {
    WriteExportFile(fileName,
                    [&](TExportSink& sink) { WriteFrames(sink, count, left, right, progress); });
}

void SaveAsciiFile(const TProgressStep& progress) {
    SaveAsciiFileAs(AsciiFileNameFor(WaveFileName), progress);
}

void SaveAsciiFileAs(const std::string& fileName, const TProgressStep& progress) {
    // Before any load, or after one that failed or was given up, an export would replace an
    // earlier good file with nothing.
    if (WaveFileName.empty() || LoadFailed)
        throw TNothingLoaded();
    WriteAsciiFile(fileName, SampleCount, LeftSamples + 1, RightSamples + 1, progress);
}
