// The libFuzzer entry for the reader (built with clang when RIFFSCOPE_FUZZ is on).
#include <cstdlib>

#include "tests/fuzz/FuzzReadWaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!FuzzReadWaveFile(data, size))
        std::abort();
    return 0;
}
