// make_demo_wav: writes a short 16-bit stereo demo file (two tones, the right one quieter),
// so that the window has something to show on a machine without sound files.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    PutU16(out, std::uint16_t(v));
    PutU16(out, std::uint16_t(v >> 16));
}

void PutId(std::vector<std::uint8_t>& out, const char* id) { out.insert(out.end(), id, id + 4); }

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo_wav OUTPUT.wav\n");
        return 2;
    }
    constexpr std::uint32_t rate = 44100, frames = 44100;
    constexpr double pi = 3.14159265358979323846;
    std::vector<std::uint8_t> data;
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        const double envelope = 0.5 + 0.5 * std::sin(2 * pi * 1.5 * t);
        PutU16(data, std::uint16_t(std::int16_t(std::lround(30000 * envelope * std::sin(2 * pi * 220 * t)))));
        PutU16(data, std::uint16_t(std::int16_t(std::lround(12000 * std::sin(2 * pi * 55 * t)))));
    }
    std::vector<std::uint8_t> file;
    PutId(file, "RIFF");
    PutU32(file, std::uint32_t(4 + 24 + 8 + data.size()));
    PutId(file, "WAVE");
    PutId(file, "fmt ");
    PutU32(file, 16);
    PutU16(file, 1);
    PutU16(file, 2);
    PutU32(file, rate);
    PutU32(file, rate * 4);
    PutU16(file, 4);
    PutU16(file, 16);
    PutId(file, "data");
    PutU32(file, std::uint32_t(data.size()));
    file.insert(file.end(), data.begin(), data.end());
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr || std::fwrite(file.data(), 1, file.size(), out) != file.size()) {
        std::perror(argv[1]);
        return 1;
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
