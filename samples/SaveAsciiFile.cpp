#include "SaveAsciiFile.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "InOutError.h"
#include "SampleStore.h"

namespace {

[[noreturn]] void ThrowErrno() { throw TInOutError::FromErrno(errno); }

// The file the export finally replaces: a link is written through, as a rewrite in place would.
std::string ResolvedTarget(const std::string& fileName) {
    struct stat info{};
    if (lstat(fileName.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        std::unique_ptr<char, decltype(&std::free)> real(realpath(fileName.c_str(), nullptr),
                                                         &std::free);
        if (real)
            return real.get();
    }
    return fileName;
}

// An existing target that may not be written is refused, as a rewrite in place would be.
// Returns the permission bits the new file should carry over, or -1 for a new file.
int CheckExistingTarget(const std::string& target) {
    struct stat info{};
    if (stat(target.c_str(), &info) != 0)
        return -1;
    if (S_ISDIR(info.st_mode))
        throw TInOutError::FromErrno(EISDIR);
    int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        ThrowErrno();
    close(fd);
    return static_cast<int>(info.st_mode & 07777);
}

// A temporary file beside the target, created new with the usual permissions.
class TTemporaryFile {
public:
    explicit TTemporaryFile(const std::string& target) {
        static std::atomic<unsigned> counter{0};
        for (;;) {
            Name = target + ".tmp" + std::to_string(getpid()) + "_" + std::to_string(counter++);
            Fd = open(Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (Fd >= 0)
                return;
            if (errno != EEXIST)
                ThrowErrno();
        }
    }
    ~TTemporaryFile() {
        if (Fd >= 0)
            close(Fd);
        if (!Kept)
            unlink(Name.c_str());
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    void Write(const char* bytes, std::size_t size) {
        while (size > 0) {
            ssize_t written = ::write(Fd, bytes, size);
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                ThrowErrno();
            }
            bytes += written;
            size -= static_cast<std::size_t>(written);
        }
    }
    void SetMode(int mode) {
        if (mode >= 0 && fchmod(Fd, static_cast<mode_t>(mode)) != 0)
            ThrowErrno();
    }
    void Close() {
        int fd = Fd;
        Fd = -1;
        if (close(fd) != 0)
            ThrowErrno();
    }
    void RenameOver(const std::string& target) {
        if (rename(Name.c_str(), target.c_str()) != 0)
            ThrowErrno();
        Kept = true;
    }

private:
    std::string Name;
    int Fd = -1;
    bool Kept = false;
};

// Lines are formatted into a buffer of this size and written a block at a time.
constexpr std::size_t BlockSize = std::size_t(1) << 20;
// The longest line: a space, an int32, a space, an int32, CR LF.
constexpr std::size_t LongestLine = 1 + 11 + 1 + 11 + 2;

char* FormatLine(char* out, std::int32_t left, std::int32_t right) {
    *out++ = ' ';
    out = std::to_chars(out, out + 11, left).ptr;
    *out++ = ' ';
    out = std::to_chars(out, out + 11, right).ptr;
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

} // namespace

std::string AsciiFileNameFor(const std::string& waveFileName) {
    std::size_t last = waveFileName.find_last_of(".\\/:");
    if (last != std::string::npos && waveFileName[last] == '.')
        return waveFileName.substr(0, last) + "_out.dat";
    return waveFileName + "_out.dat";
}

void WriteAsciiFile(const std::string& fileName, int count, const std::int32_t* left,
                    const std::int32_t* right) {
    const std::string target = ResolvedTarget(fileName);
    const int mode = CheckExistingTarget(target);
    TTemporaryFile file(target);
    file.SetMode(mode);
    std::vector<char> block(BlockSize);
    char* const begin = block.data();
    char* const flushAt = begin + BlockSize - LongestLine;
    char* out = begin;
    for (int i = 0; i < count; ++i) {
        out = FormatLine(out, left[i], right[i]);
        if (out >= flushAt) {
            file.Write(begin, static_cast<std::size_t>(out - begin));
            out = begin;
        }
    }
    file.Write(begin, static_cast<std::size_t>(out - begin));
    file.Close();
    file.RenameOver(target);
}

void SaveAsciiFile() {
    WriteAsciiFile(AsciiFileNameFor(WaveFileName), SampleCount, LeftSamples + 1, RightSamples + 1);
}
