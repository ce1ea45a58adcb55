#include <gtest/gtest.h>

#include <random>

#include "app/LosslessName.h"

namespace {

// Every byte string comes back from its text exactly; UTF-8 reads as itself.
TEST(LosslessName, AnyBytesComeBackExactly) {
    const std::string cases[] = {
        "plain.wav",
        "caf\xC3\xA9.wav",              // UTF-8 stays as it is
        "\xFF\xFE bad.wav",             // bytes that start no UTF-8
        "\xE9t\xE9.wav",                // Latin-1
        "\xF0\x90\x82\x80\xFF",         // U+10080 (its low surrogate in the kept range) then 0xFF
        "\xED\xB2\x80",                 // a surrogate written as UTF-8: not UTF-8, kept bytewise
        "\xC3",                         // a sequence cut short
        "\xF0\x9F\x8E\xB5\x80\x80.wav", // a whole emoji, then stray continuation bytes
    };
    for (const std::string& bytes : cases)
        EXPECT_EQ(BytesOfName(NameFromBytes(bytes)), bytes) << ShownName(bytes).toStdString();
    EXPECT_EQ(NameFromBytes("caf\xC3\xA9.wav"), QStringLiteral("caf\u00E9.wav"));
    EXPECT_EQ(BytesOfName(QStringLiteral("caf\u00E9.wav")), "caf\xC3\xA9.wav");

    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(1, 255), length(0, 24);
    for (int round = 0; round < 20000; ++round) {
        std::string bytes(std::size_t(length(random)), '\0');
        for (char& c : bytes)
            c = char(byte(random));
        ASSERT_EQ(BytesOfName(NameFromBytes(bytes)), bytes);
    }
}

TEST(LosslessName, PeopleSeeTheOddBytesEscaped) {
    EXPECT_EQ(ShownName("/tmp/\xFF\xFE bad\n.wav"), QStringLiteral("/tmp/\\xFF\\xFE bad\\n.wav"));
    EXPECT_EQ(ShownBaseName("/tmp/\xE9/caf\xC3\xA9\xE9.wav"), QStringLiteral("caf\u00E9\\xE9.wav"));
}

} // namespace
