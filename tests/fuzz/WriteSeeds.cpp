// Writes the reader's seed inputs into a folder, as a starting corpus for the fuzzer.
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/fuzz/FuzzReadWaveFile.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_fuzz_seeds FOLDER\n");
        return 2;
    }
    int index = 0;
    for (const auto& seed : ReadWaveFileSeeds()) {
        std::ofstream out(std::string(argv[1]) + "/seed" + std::to_string(index++),
                          std::ios::binary);
        out.write(reinterpret_cast<const char*>(seed.data()), std::streamsize(seed.size()));
    }
    return 0;
}
