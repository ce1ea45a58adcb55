#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "samples/ExportTarget.h"
#include "samples/InOutError.h"
#include "tests/support/TempDir.h"

namespace {

// A body that writes `size` bytes of `fill`, a block at a time, as an export does.
auto Text(std::size_t size, char fill) {
    return [size, fill](TExportSink& sink) {
        const std::string block(4096, fill);
        for (std::size_t done = 0; done < size; done += block.size())
            sink.Write(block.data(), std::min(block.size(), size - done));
    };
}

int ExportCode(const std::string& target, std::size_t size, char fill) {
    try {
        WriteExportFile(target, Text(size, fill));
        return 0;
    } catch (const TInOutError& error) {
        return error.Code();
    }
}

// A small file system of its own, so that a disk can fill up; removed afterwards.
class TSmallDisk {
  public:
    TSmallDisk(const std::string& folder, const char* size) : Folder(folder) {
        std::filesystem::create_directory(folder);
        const std::string options = std::string("size=") + size;
        Mounted = mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~TSmallDisk() {
        if (Mounted)
            umount2(Folder.c_str(), MNT_DETACH);
    }
    std::string Folder;
    bool Mounted = false;
};

} // namespace

// A target rewritten in place (here: it has another hard link) on a disk that fills up keeps
// its old text whole under both names: the new length is reserved before a byte changes.
TEST(ExportTarget, InPlaceRewriteOnAFullDiskKeepsTheOldTextWhole) {
    TTempDir dir;
    TSmallDisk disk(dir.File("disk"), "64k");
    if (!disk.Mounted)
        GTEST_SKIP() << "cannot mount a small file system here";
    const std::string target = disk.Folder + "/take_out.dat";
    const std::string other = disk.Folder + "/other.dat";
    const std::string old(20000, 'o');
    dir.Write("disk/take_out.dat", std::vector<std::uint8_t>(old.begin(), old.end()));
    std::filesystem::create_hard_link(target, other);

    EXPECT_EQ(ExportCode(target, 100000, 'n'), 101) << "Disk full";
    // Compared whole, reported by size: the texts are long.
    EXPECT_TRUE(TTempDir::Read(target) == old) << TTempDir::Read(target).size() << " bytes";
    EXPECT_TRUE(TTempDir::Read(other) == old) << TTempDir::Read(other).size() << " bytes";

    // What fits is written, and a shorter text leaves nothing of the longer one behind.
    for (std::size_t size : {30000, 5}) {
        SCOPED_TRACE(size);
        EXPECT_EQ(ExportCode(target, size, 'n'), 0);
        EXPECT_TRUE(TTempDir::Read(other) == std::string(size, 'n'))
            << TTempDir::Read(other).size() << " bytes";
    }
    EXPECT_EQ(std::filesystem::hard_link_count(target), 2u);
}

// A symbolic link at the target is followed only when this process's user owns it: a link
// another user planted (in a folder only they may write) cannot aim an export at a file of
// ours. Run as root, which may write anywhere.
TEST(ExportTarget, SomeoneElsesLinkIsNotFollowed) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root, to make a link of another user";
    TTempDir dir;
    const std::string theirs = dir.File("theirs");
    std::filesystem::create_directory(theirs);
    ASSERT_EQ(chown(theirs.c_str(), 65534, 65534), 0);
    const std::string secret = dir.Write("secret", {'k', 'e', 'p', 't'});
    chmod(secret.c_str(), 0600);
    const std::string planted = theirs + "/x_out.dat";
    const std::string dangling = theirs + "/y_out.dat";
    std::filesystem::create_symlink(secret, planted);
    std::filesystem::create_symlink(dir.File("created"), dangling);
    for (const std::string& link : {planted, dangling}) {
        SCOPED_TRACE(link);
        ASSERT_EQ(lchown(link.c_str(), 65534, 65534), 0);
        EXPECT_EQ(ExportCode(link, 10, 'n'), 5) << "File access denied";
        EXPECT_TRUE(std::filesystem::is_symlink(link));
    }
    EXPECT_EQ(TTempDir::Read(secret), "kept");
    EXPECT_FALSE(std::filesystem::exists(dir.File("created")));
}

// An earlier export ("o") that the next one renames over, or, with a second hard link, rewrites
// in place.
std::string ExistingTarget(const TTempDir& dir, bool inPlace) {
    const std::string target = dir.Write(inPlace ? "a_out.dat" : "b_out.dat", {'o'});
    if (inPlace)
        std::filesystem::create_hard_link(target, target + ".link");
    return target;
}

// A rewritten file never keeps set-user-ID or set-group-ID bits, renamed over or rewritten in
// place; its other permission bits stay.
TEST(ExportTarget, SetIdBitsDoNotSurviveARewrite) {
    TTempDir dir;
    for (bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "in place" : "renamed");
        const std::string target = ExistingTarget(dir, inPlace);
        ASSERT_EQ(chmod(target.c_str(), 06750), 0);
        EXPECT_EQ(ExportCode(target, 3, 'n'), 0);
        struct stat info {};
        ASSERT_EQ(stat(target.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0750u);
        EXPECT_EQ(TTempDir::Read(target), "nnn");
    }
}

// While another export holds the target, an export waits for it rather than writing into it.
TEST(ExportTarget, AnExportWaitsForTheOneInProgress) {
    TTempDir dir;
    for (bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "in place" : "renamed");
        const std::string target = ExistingTarget(dir, inPlace);
        const int held = open(target.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(flock(held, LOCK_EX), 0);
        const pid_t child = fork();
        if (child == 0) {
            close(held); // the lock belongs to the parent alone
            _exit(ExportCode(target, 3, 'n'));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        int status = 0;
        EXPECT_EQ(waitpid(child, &status, WNOHANG), 0) << "the export did not wait";
        EXPECT_EQ(TTempDir::Read(target), "o");
        close(held);
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_EQ(TTempDir::Read(target), "nnn");
    }
}
