// Names as riffdump takes and shows them: any name the system accepts opens, a status line
// shows it escaped so no name passes for another line, and an export never goes over its input.
#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

#include "tests/support/RunProgram.h"
#include "tests/support/TempDir.h"
#include "wave/WaveBytes.h"

namespace {

TEST(RiffdumpNames, AnyNameOpensAndItsStatusLineShowsItEscaped) {
    struct TCase {
        std::string Name, Shown;
    };
    const TCase cases[] = {
        {"evil.wav: wsOk\nreal.wav", "evil.wav: wsOk\\nreal.wav"},
        {"\xFF\xFE bad.wav", "\\xFF\\xFE bad.wav"},
        {"tab\there\x1B.wav", "tab\\there\\x1B.wav"},
        {"back\\slash.wav", "back\\\\slash.wav"},
        {"caf\xC3\xA9.wav", "caf\xC3\xA9.wav"}, // UTF-8 stays as it is
    };
    TTempDir dir;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Shown);
        dir.Write(c.Name, PlainWave(TWaveBytes::Frames({{1, 2}})));
        const TRun run = RunProgram(RIFFDUMP_PATH, dir, {"--export", dir.File(c.Name)});
        EXPECT_EQ(run.ExitStatus, 0);
        EXPECT_EQ(run.Err, dir.File(c.Shown) + ": wsOk\n");
    }
}

// An export whose target is the file it reads, by the same name or through a link, is refused
// and the input stays as it was.
TEST(RiffdumpNames, AnExportOverItsOwnInputIsRefused) {
    TTempDir dir;
    const TBytes bytes = PlainWave(TWaveBytes::Frames({{1, 2}, {3, 4}}));
    const std::string wave = dir.Write("take.wav", bytes);
    ASSERT_EQ(link(wave.c_str(), dir.File("hard.wav").c_str()), 0);
    std::filesystem::create_symlink(wave, dir.File("soft.wav"));
    ASSERT_EQ(link(wave.c_str(), dir.File("take_out.dat").c_str()), 0);
    const std::vector<std::vector<std::string>> runs = {
        {"--export", "--output", wave, wave},
        {"--as-format", "--output", dir.File("hard.wav"), wave},
        {"--as-format", "--output", dir.File("soft.wav"), wave},
        {"--export", wave}, // its own NAME_out.dat is a second link to it
    };
    for (const auto& arguments : runs) {
        SCOPED_TRACE(arguments[arguments.size() - 2]);
        const TRun run = RunProgram(RIFFDUMP_PATH, dir, arguments);
        EXPECT_EQ(run.ExitStatus, 1);
        EXPECT_NE(run.Err.find("would be written over the file it reads"), std::string::npos)
            << run.Err;
        EXPECT_EQ(TTempDir::Read(wave), std::string(bytes.begin(), bytes.end()));
    }
}

} // namespace
