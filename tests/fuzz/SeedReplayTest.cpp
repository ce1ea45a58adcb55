#include <gtest/gtest.h>

#include "tests/fuzz/FuzzReadWaveFile.h"
#include "tests/fuzz/JsonCheck.h"

namespace {

// The fuzz target's judge of riffdump's JSON: what it lets through and what it stops.
TEST(JsonCheck, TakesWellFormedJsonOnly) {
    const std::pair<const char*, bool> cases[] = {
        {R"({"a":1,"b":[true,false,null],"c":{"d":-0.5e+3},"e":"\u00ff\n"})", true},
        {"\"caf\xC3\xA9\"", true},
        {R"({"a":1,"a":2})", false}, // a key twice
        {"\"\xC3\"", false},         // cut UTF-8
        {"\"\xC0\xAF\"", false},     // overlong
        {"\"\xED\xA0\x80\"", false}, // a surrogate
        {"\"a\tb\"", false},         // a raw control character
        {"[1,]", false},
        {"01", false},
        {"{\"a\":1} x", false},
        {"", false},
    };
    for (const auto& [text, wellFormed] : cases)
        EXPECT_EQ(IsWellFormedJson(text), wellFormed) << text;
}

// The fuzzer's seed corpus, and every cut of each seed, run as an ordinary test in every build.
TEST(ReadWaveFileFuzzSeeds, EverySeedAndEveryCutKeepsTheReadersPromises) {
    int index = 0;
    for (const auto& seed : ReadWaveFileSeeds()) {
        SCOPED_TRACE("seed " + std::to_string(index++));
        // Every cut of a small seed; of a big one, every cut in its first 4 KiB and a cut now
        // and then beyond.
        constexpr std::size_t EveryCutUpTo = 4096;
        for (std::size_t length = 0; length <= seed.size();
             length += length < EveryCutUpTo ? 1 : 4093) {
            EXPECT_TRUE(FuzzReadWaveFile(seed.data(), length)) << "cut at " << length;
        }
        EXPECT_TRUE(FuzzReadWaveFile(seed.data(), seed.size()));
    }
}

} // namespace
