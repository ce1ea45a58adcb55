#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "samples/ErrorMessage.h"
#include "samples/InOutError.h"
#include "samples/SampleStore.h"
#include "samples/SaveAsciiFile.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

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
        LoadFailed = false;
        WaveFileName = Dir.File("take1.wav");
    }
    void Store(const std::vector<std::pair<int, int>>& frames) {
        for (int i = 0; i < int(frames.size()); ++i) {
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
    // An errno that happens to equal a table code keeps its own wording, and its code stays
    // apart from the table's.
    EXPECT_EQ(TInOutError::FromErrno(EIO).what(), "I/O error " + std::to_string(EIO));
    EXPECT_EQ(TInOutError::FromErrno(EIO).Code(), TInOutError::OtherError);
    EXPECT_EQ(TInOutError::FromErrno(EIO).SystemError(), EIO);
    EXPECT_EQ(TInOutError::FromErrno(EACCES).Code(), 5);
    EXPECT_EQ(TInOutError::FromErrno(EACCES).SystemError(), EACCES);
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

namespace {

// Runs `body` in a child process without root's rights (as "nobody" when run as root), so
// that permission bits hold; the child's exit status is the result.
int RunAsUserWithoutRights(const std::function<int()>& body) {
    return RunInChild([&] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            return 100;
        return body();
    });
}

int ExportCode(const std::string& fileName) {
    try {
        WriteAsciiFile(fileName, 0, nullptr, nullptr);
        return 0;
    } catch (const TInOutError& error) {
        return error.Code();
    }
}

} // namespace

// A target that is not a regular file is refused as access denied and left as it was; a FIFO
// with no reader never blocks the export.
TEST_F(SaveAscii, SpecialTargetsAreRefusedUntouched) {
    Store({{1, 2}});
    const std::string fifo = Dir.File("fifo_out.dat");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string deviceLink = Dir.File("null_out.dat");
    std::filesystem::create_symlink("/dev/null", deviceLink);
    const std::string folder = Dir.File("folder_out.dat");
    std::filesystem::create_directory(folder);
    alarm(30); // an export that blocks for ever ends the test program
    for (const std::string& target : {fifo, deviceLink, folder}) {
        SCOPED_TRACE(target);
        try {
            WriteAsciiFile(target, SampleCount, LeftSamples + 1, RightSamples + 1);
            ADD_FAILURE() << "no error";
        } catch (const TInOutError& error) {
            EXPECT_EQ(error.Code(), 5);
            EXPECT_STREQ(error.what(), "File access denied");
        }
    }
    alarm(0);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_TRUE(std::filesystem::is_symlink(deviceLink));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(FilesInDir(), 3) << "no temporary file left behind";
}

// Where renaming a new file over the target would lose something, the target is rewritten in
// place as a plain write would: links keep pointing at the new text.
TEST_F(SaveAscii, LinksStayLinked) {
    Store({{1, 2}});
    // A second hard link sees the new text.
    Dir.Write("take1_out.dat", {'o', 'l', 'd'});
    std::filesystem::create_hard_link(Dir.File("take1_out.dat"), Dir.File("other_name.dat"));
    SaveAsciiFile();
    EXPECT_EQ(TTempDir::Read(Dir.File("other_name.dat")), " 1 2\r\n");
    EXPECT_EQ(std::filesystem::hard_link_count(Dir.File("take1_out.dat")), 2u);

    // A dangling symbolic link is written through: the file it names is created.
    WaveFileName = Dir.File("take2.wav");
    std::filesystem::create_symlink(Dir.File("named_by_link.dat"), Dir.File("take2_out.dat"));
    SaveAsciiFile();
    EXPECT_TRUE(std::filesystem::is_symlink(Dir.File("take2_out.dat")));
    EXPECT_EQ(TTempDir::Read(Dir.File("named_by_link.dat")), " 1 2\r\n");

    // A link to an existing file is written through too, the link left in place.
    Store({{3, 4}});
    SaveAsciiFile();
    EXPECT_TRUE(std::filesystem::is_symlink(Dir.File("take2_out.dat")));
    EXPECT_EQ(TTempDir::Read(Dir.File("named_by_link.dat")), " 3 4\r\n");
}

// A target whose name is near the longest a folder allows still gets its temporary file.
TEST_F(SaveAscii, ATargetWithALongNameIsWritten) {
    Store({{1, 2}});
    WaveFileName = Dir.File(std::string(240, 'n') + ".wav");
    SaveAsciiFile();
    EXPECT_EQ(TTempDir::Read(Dir.File(std::string(240, 'n') + "_out.dat")), " 1 2\r\n");
    EXPECT_EQ(FilesInDir(), 1);
}

// In a folder that may not be written, a writable target is still rewritten (in place); a new
// file there is refused. Run without root's rights, which would ignore the folder's bits.
TEST_F(SaveAscii, ReadOnlyFolderWithAWritableTarget) {
    const std::filesystem::path folder = Dir.Path / "read-only";
    std::filesystem::create_directory(folder);
    const std::string target = (folder / "take1_out.dat").string();
    Dir.Write("read-only/take1_out.dat", {'o', 'l', 'd'});
    std::filesystem::permissions(target, std::filesystem::perms(0666));
    std::filesystem::permissions(folder, std::filesystem::perms(0555));
    std::filesystem::permissions(Dir.Path, std::filesystem::perms(0755));
    Store({{-7, 7}});

    EXPECT_EQ(RunAsUserWithoutRights([&] {
                  WaveFileName = (folder / "take1.wav").string();
                  try {
                      SaveAsciiFile();
                  } catch (...) {
                      return 1;
                  }
                  return ExportCode((folder / "new_out.dat").string()) == 5 ? 0 : 2;
              }),
              0);
    EXPECT_EQ(TTempDir::Read(target), " -7 7\r\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "new_out.dat"));
}
