#include "FuzzReadWaveFile.h"

#include <string>

#include <sys/mman.h>
#include <unistd.h>

#include "ReadWaveFile.h"
#include "WaveBytes.h"
#include "support/PipeInput.h"

bool FuzzReadWaveFile(const std::uint8_t* data, std::size_t size) {
    int fd = memfd_create("fuzz.wav", MFD_CLOEXEC);
    if (fd < 0)
        return true;
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = write(fd, data + done, size - done);
        if (n <= 0)
            break;
        done += std::size_t(n);
    }
    TWaveInfo info;
    std::vector<std::string> lines;
    ReadWaveFile("/proc/self/fd/" + std::to_string(fd), info,
                 [&](const std::string& line) { lines.push_back(line); });
    close(fd);

    const std::uint16_t s = info.Status;
    if (s != wsOk && s != wsFailed && s != wsDataBeforeFormat && s != wsBadChunkSize &&
        s != wsNotWave)
        return false;
    // wsOk and wsFailed end with the closing line. (The other statuses end without it, but
    // a chunk id may itself read O"k , so the log alone cannot show that.)
    const bool closed = !lines.empty() && lines.back() == WaveLogClosingLine;
    if ((s == wsOk || s == wsFailed) && !closed)
        return false;
    if (info.Data && s != wsOk && s != wsFailed)
        return false;
    // Memory for the data is never more than the input itself held.
    if (info.Data && info.Data->Size() > size)
        return false;

    // The same bytes through a pipe take the stream path: same status, same log.
    TWaveInfo streamed;
    std::vector<std::string> streamedLines;
    {
        TPipeInput input(std::vector<std::uint8_t>(data, data + size));
        ReadWaveFile(
            input.Name(), streamed, [&](const std::string& line) { streamedLines.push_back(line); },
            TWaveReadOptions::Streams());
    }
    if (streamed.Status != s || streamedLines != lines)
        return false;
    if (bool(streamed.Data) != bool(info.Data) ||
        (info.Data && streamed.Data->Size() != info.Data->Size()))
        return false;
    return true;
}

std::vector<std::vector<std::uint8_t>> ReadWaveFileSeeds() {
    const TBytes fmt = TWaveBytes::Format();
    const TBytes frames = TWaveBytes::Frames({{1, -1}, {32767, -32768}});
    return {
        PlainWave(frames),
        PlainWave({}),
        TWaveBytes()
            .Chunk("LIST", {'I', 'N', 'F', 'O', 'x'})
            .Chunk("fmt ", fmt)
            .Chunk("data", frames)
            .Bytes(),
        TWaveBytes()
            .Chunk("fmt ", TWaveBytes::Format(0xFFFE, 2, 48000, 24, TBytes(24, 0)))
            .Chunk("fact", {0, 0, 0, 0})
            .Chunk("data", frames)
            .Bytes(),
        TWaveBytes().Chunk("data", frames).Chunk("fmt ", fmt).Bytes(),
        TWaveBytes().Chunk("fmt ", fmt).Chunk("data", frames, 0xFFFFFFFFLL).Bytes(),
        TWaveBytes().Chunk("fmt ", fmt).Chunk("LIST", {}, 0x80000000LL).Bytes(),
        TWaveBytes("AVI ").Bytes(),
        {'R', 'I', 'F'},
        // A form type that reads like the closing line.
        TWaveBytes("O\"k ").Chunk("fmt ", fmt).Bytes(),
    };
}
