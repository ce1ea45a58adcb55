#include <gtest/gtest.h>

#include <filesystem>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "support/TempDir.h"
#include "support/WaveBytes.h"

extern char** environ;

namespace {

struct TRun {
    int ExitStatus = -1;
    std::string Out, Err;
};

TRun Riffdump(const TTempDir& dir, const std::vector<std::string>& arguments) {
    const std::string out = dir.File("stdout.txt"), err = dir.File("stderr.txt");
    std::vector<std::string> words = {RIFFDUMP_PATH};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    TRun run;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.ExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.Out = TTempDir::Read(out);
    run.Err = TTempDir::Read(err);
    return run;
}

const std::string PlainLog8 =
    "RIFF\nFileSize 44\nWAVE\nfmt \nchankSize 16\nwFormatTag 1\nwChannels 2\n"
    "wSamplesPerSec 44100\nwBlockAlign 4\nwBitsPerSample 16\ndata\nchankSize 8\nO\"k \n";

TEST(Riffdump, WritesTheLogAndOneStatusLinePerFile) {
    TTempDir dir;
    const std::string good = dir.Write("good.wav", PlainWave(TWaveBytes::Frames({{1, 2}, {3, 4}})));
    const std::string avi = dir.Write("movie.avi", TWaveBytes("AVI ").Bytes());
    const std::string missing = dir.File("missing.wav");

    TRun one = Riffdump(dir, {good});
    EXPECT_EQ(one.ExitStatus, 0);
    EXPECT_EQ(one.Out, PlainLog8);
    EXPECT_EQ(one.Err, good + ": wsOk\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("good_out.dat")));

    TRun three = Riffdump(dir, {good, avi, missing});
    EXPECT_EQ(three.ExitStatus, 1);
    EXPECT_EQ(three.Out, PlainLog8 + "RIFF\nFileSize 4\nAVI \nO\"k \n");
    EXPECT_EQ(three.Err, good + ": wsOk\n" + avi + ": wsNotWave\n" + missing + ": wsFailed\n");
}

TEST(Riffdump, UsageErrorsHelpAndVersion) {
    TTempDir dir;
    struct TCase {
        std::vector<std::string> Arguments;
        int ExitStatus;
        bool UsageOnStdout;
        bool UsageOnStderr;
    };
    const TCase cases[] = {
        {{}, 2, false, true},
        {{"--frobnicate", "x.wav"}, 2, false, true},
        {{"--export"}, 2, false, true},
        {{"--help"}, 0, true, false},
    };
    for (const TCase& c : cases) {
        TRun run = Riffdump(dir, c.Arguments);
        EXPECT_EQ(run.ExitStatus, c.ExitStatus);
        EXPECT_EQ(run.Out.find("usage: riffdump") != std::string::npos, c.UsageOnStdout);
        EXPECT_EQ(run.Err.find("usage: riffdump") != std::string::npos, c.UsageOnStderr);
    }
    TRun version = Riffdump(dir, {"--version"});
    EXPECT_EQ(version.ExitStatus, 0);
    EXPECT_EQ(version.Out.rfind("riffdump ", 0), 0u);
}

TEST(Riffdump, ExportWritesEachGoodFileBesideIt) {
    TTempDir dir;
    const std::string a = dir.Write("a.wav", PlainWave(TWaveBytes::Frames({{120, -35}, {0, 7}})));
    const std::string b = dir.Write("b.wav", PlainWave(TWaveBytes::Frames({{-32768, 32767}})));
    const std::string bad = dir.Write("c.wav", TWaveBytes().Chunk("data", {1, 2, 3, 4}).Bytes());

    TRun run = Riffdump(dir, {"--export", a, bad, b});
    EXPECT_EQ(run.ExitStatus, 1);
    EXPECT_EQ(TTempDir::Read(dir.File("a_out.dat")), " 120 -35\r\n 0 7\r\n");
    EXPECT_EQ(TTempDir::Read(dir.File("b_out.dat")), " -32768 32767\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("c_out.dat")));
    EXPECT_EQ(run.Err, a + ": wsOk\n" + bad + ": wsDataBeforeFormat\n" + b + ": wsOk\n");

    EXPECT_EQ(Riffdump(dir, {a, "--export"}).ExitStatus, 0);
}

TEST(Riffdump, ExportErrorIsReportedAndFailsTheRun) {
    TTempDir dir;
    const std::string a = dir.Write("a.wav", PlainWave(TWaveBytes::Frames({{1, 1}})));
    std::filesystem::create_directory(dir.File("a_out.dat"));
    TRun run = Riffdump(dir, {"--export", a});
    EXPECT_EQ(run.ExitStatus, 1);
    EXPECT_EQ(run.Err, a + ": wsOk\nFile access denied.\n");
}

} // namespace
