#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include <sys/resource.h>

#include "ErrorMessage.h"
#include "InOutError.h"
#include "SampleStore.h"
#include "SaveAsciiFile.h"
#include "support/TempDir.h"

namespace {

TEST(AsciiFileName, ReplacesTheExtensionOnlyAfterTheLastSeparator) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\snd\\take1.wav", "C:\\snd\\take1_out.dat"},
        {"C:\\snd\\take1.x.wav", "C:\\snd\\take1.x_out.dat"},
        {"C:\\snd.old\\take1", "C:\\snd.old\\take1_out.dat"},
        {"/home/u/take1.wav", "/home/u/take1_out.dat"},
        {"/home/u.v/take1", "/home/u.v/take1_out.dat"},
        {"take.1:stream", "take.1:stream_out.dat"},
        {"", "_out.dat"},
    };
    for (const auto& [wave, ascii] : cases)
        EXPECT_EQ(AsciiFileNameFor(wave), ascii) << wave;
}

class SaveAscii : public ::testing::Test {
protected:
    void SetUp() override {
        SampleCount = 0;
        WaveFileName = Dir.File("take1.wav");
    }
    void Store(const std::vector<std::pair<int, int>>& frames) {
        for (std::size_t i = 0; i < frames.size(); ++i) {
            LeftSamples[i + 1] = frames[i].first;
            RightSamples[i + 1] = frames[i].second;
        }
        SampleCount = int(frames.size());
    }
    std::string Output() const { return TTempDir::Read(Dir.File("take1_out.dat")); }
    int FilesInDir() const {
        return int(std::distance(std::filesystem::directory_iterator(Dir.Path),
                                 std::filesystem::directory_iterator()));
    }

    TTempDir Dir;
};

TEST_F(SaveAscii, WritesOneLinePerFrameExactly) {
    Store({{120, -35}, {0, 7}, {-32768, 32767}});
    SaveAsciiFile();
    EXPECT_EQ(Output(), " 120 -35\r\n 0 7\r\n -32768 32767\r\n");
}

TEST_F(SaveAscii, EmptyStoreWritesAnEmptyFile) {
    SaveAsciiFile();
    EXPECT_TRUE(std::filesystem::exists(Dir.File("take1_out.dat")));
    EXPECT_EQ(Output(), "");
}

TEST_F(SaveAscii, ReplacesAnExistingFileAndLeavesNoTemporaryBehind) {
    Dir.Write("take1_out.dat", std::vector<std::uint8_t>(100, 'x'));
    Store({{1, 2}});
    SaveAsciiFile();
    EXPECT_EQ(Output(), " 1 2\r\n");
    EXPECT_EQ(FilesInDir(), 1);
}

TEST_F(SaveAscii, WritesOnlyTheStoredCountAcrossBlocks) {
    // Enough lines to cross the write block several times.
    std::vector<std::pair<int, int>> frames;
    for (int i = 0; i < 300000; ++i)
        frames.push_back({i % 65536 - 32768, -(i % 1000)});
    Store(frames);
    SampleCount = 299999;
    SaveAsciiFile();
    std::string out = Output();
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 299999);
    EXPECT_EQ(out.substr(0, 12), " -32768 0\r\n ");
    // The last frame written is index 299998: left 299998 % 65536 - 32768, right -(299998 % 1000).
    EXPECT_EQ(out.substr(out.size() - 12), " 5086 -998\r\n");
}

struct TErrorCase {
    const char* Name;
    std::string WaveName;
    int Code;
    std::string Message;
};

TEST_F(SaveAscii, ErrorsCarryTheTextOfTheirCode) {
    std::filesystem::create_directory(Dir.File("take2_out.dat")); // a folder in the way
    const TErrorCase cases[] = {
        {"missing folder", Dir.File("no/such/folder/take1.wav"), 3, "Invalid filename."},
        {"target is a folder", Dir.File("take2.wav"), 5, "File access denied."},
    };
    for (const TErrorCase& c : cases) {
        SCOPED_TRACE(c.Name);
        WaveFileName = c.WaveName;
        try {
            SaveAsciiFile();
            ADD_FAILURE() << "no error";
        } catch (const TInOutError& error) {
            EXPECT_EQ(error.Code(), c.Code);
            EXPECT_EQ(MessageWithFullStop(ErrorText(std::current_exception())), c.Message);
        }
    }
}

TEST(InOutErrorText, TableAndOtherCodes) {
    EXPECT_EQ(TInOutError(2).what(), std::string("File not found"));
    EXPECT_EQ(TInOutError(100).what(), std::string("Read beyond end of file"));
    EXPECT_EQ(TInOutError(101).what(), std::string("Disk full"));
    EXPECT_EQ(TInOutError(106).what(), std::string("Invalid numeric input"));
    EXPECT_EQ(TInOutError(4).what(), std::string("Too many open files"));
    EXPECT_EQ(TInOutError(103).what(), std::string("I/O error 103"));
    EXPECT_EQ(TInOutError::FromErrno(ENOSPC).Code(), 101);
    EXPECT_EQ(TInOutError::FromErrno(EMFILE).Code(), 4);
    // An errno that happens to equal a table code keeps its own wording.
    EXPECT_EQ(TInOutError::FromErrno(EIO).what(), "I/O error " + std::to_string(EIO));
}

// A write that fails part-way (here: the file size limit) must leave the earlier good export
// exactly as it was, and no temporary file behind.
TEST_F(SaveAscii, FailedWriteKeepsTheEarlierFile) {
    Store({{1, 2}});
    SaveAsciiFile();
    std::vector<std::pair<int, int>> frames(200000, {-12345, 12345});
    Store(frames);

    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    std::string message;
    try {
        SaveAsciiFile();
    } catch (const TInOutError& error) {
        message = error.what();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(message, "I/O error " + std::to_string(EFBIG));
    EXPECT_EQ(Output(), " 1 2\r\n");
    EXPECT_EQ(FilesInDir(), 1);
}

} // namespace
