// Streams and lists riffdump reads with bounds: a FIFO that stalls is named as stalled in every
// mode, a list is refused at the line that breaks a bound, a stream stops at --max-bytes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/support/RunProgram.h"
#include "tests/support/TempDir.h"
#include "wave/WaveBytes.h"

namespace {

TEST(RiffdumpStreams, ASilentFifoIsNamedAsStalledInEveryMode) {
    TTempDir dir;
    const std::string fifo = dir.File("silent.wav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const char* mode : {"--json", "--as-format", "--cues", "--export"}) {
        SCOPED_TRACE(mode);
        std::vector<std::string> arguments = {"--stall", "0.3", mode, fifo};
        if (std::string(mode) == "--as-format" || std::string(mode) == "--export")
            arguments.insert(arguments.begin(), {"--output", dir.File("out.dat")});
        const TRun run = RunProgram(RIFFDUMP_PATH, dir, arguments);
        EXPECT_EQ(run.ExitStatus, 1);
        EXPECT_NE((run.Out + run.Err).find("No writer opened the FIFO within 0.3"),
                  std::string::npos)
            << run.Out << run.Err;
        EXPECT_EQ((run.Out + run.Err).find("The file is empty."), std::string::npos);
    }
}

TEST(RiffdumpStreams, ListsAndStreamsStopAtTheirBoundsWithAReason) {
    TTempDir dir;
    const std::string fifo = dir.File("names.fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string longName = dir.Write("names.txt", TBytes(5000, 'a'));
    struct TCase {
        std::vector<std::string> Arguments;
        int ExitStatus;
        std::string Said;
    };
    const TCase cases[] = {
        {{"--files-from", "/dev/zero"}, 2, "line 1 is longer than 4095 bytes"},
        {{"-0", "--files-from", "/dev/zero"}, 2, "the list goes on past 268435456 bytes"},
        {{"--files-from", longName}, 2, "line 1 is longer than"},
        {{"--stall", "0.3", "--files-from", fifo}, 2, "No writer opened the FIFO within 0.3"},
        {{"--max-bytes", "1000", "--json", "/dev/stdin"}, 1, "The stream goes on past 1000 bytes"},
        {{"--max-bytes", "0", "x.wav"}, 2, "--max-bytes needs"},
    };
    const TBytes input(3000, 0);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Said);
        TRunOptions options;
        options.Input = &input;
        const TRun run = RunProgram(RIFFDUMP_PATH, dir, c.Arguments, options);
        EXPECT_EQ(run.ExitStatus, c.ExitStatus);
        EXPECT_NE((run.Out + run.Err).find(c.Said), std::string::npos) << run.Out << run.Err;
        EXPECT_LT(run.Seconds, 10.0);
    }
}

// A file cut inside a chunk says how many bytes it has, not where the chunk would end, and
// which chunk declared more.
TEST(RiffdumpStreams, AFileCutInAChunkSaysItsOwnLength) {
    TTempDir dir;
    const TBytes bytes = TWaveBytes()
                             .Chunk("fmt ", TWaveBytes::Format())
                             .Chunk("junk", {1, 2, 3, 4}, 0x7FFFFFFF)
                             .Bytes();
    const std::string file = dir.Write("cut.wav", bytes);
    const TRun run = RunProgram(RIFFDUMP_PATH, dir, {file});
    ASSERT_EQ(bytes.size(), 48u);
    EXPECT_EQ(run.Err, file + ": wsFailed\n" + file +
                           ": The chunk at offset 36 declares 2,147,483,647 bytes; the file ends "
                           "after 48.\n");
}

} // namespace
