#include <gtest/gtest.h>

#include "tests/fuzz/FuzzReadWaveFile.h"

namespace {

// The fuzzer's seed corpus, and every cut of each seed, run as an ordinary test in every build.
TEST(ReadWaveFileFuzzSeeds, EverySeedAndEveryCutKeepsTheReadersPromises) {
    int index = 0;
    for (const auto& seed : ReadWaveFileSeeds()) {
        SCOPED_TRACE("seed " + std::to_string(index++));
        for (std::size_t length = 0; length <= seed.size(); ++length)
            EXPECT_TRUE(FuzzReadWaveFile(seed.data(), length)) << "cut at " << length;
    }
}

} // namespace
