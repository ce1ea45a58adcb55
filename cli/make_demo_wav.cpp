// make_demo_wav: writes a short 16-bit stereo demo file (two tones, the right one quieter),
// so that the window has something to show on a machine without sound files.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "wave/WaveBytes.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo_wav OUTPUT.wav\n");
        return 2;
    }
    constexpr std::uint32_t rate = 44100, frames = 44100;
    constexpr double pi = 3.14159265358979323846;
    std::vector<std::pair<std::int16_t, std::int16_t>> samples;
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        const double envelope = 0.5 + 0.5 * std::sin(2 * pi * 1.5 * t);
        samples.push_back({std::int16_t(std::lround(30000 * envelope * std::sin(2 * pi * 220 * t))),
                           std::int16_t(std::lround(12000 * std::sin(2 * pi * 55 * t)))});
    }
    const TBytes file = TWaveBytes()
                            .Chunk("fmt ", TWaveBytes::Format(1, 2, rate, 16))
                            .Chunk("data", TWaveBytes::Frames(samples))
                            .Bytes();
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr || std::fwrite(file.data(), 1, file.size(), out) != file.size()) {
        std::perror(argv[1]);
        return 1;
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
