#include "ExportTarget.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "InOutError.h"
#include "InterruptCleanup.h"

namespace {

[[noreturn]] void ThrowErrno() {
    throw TInOutError::FromErrno(errno);
}

// Anything but a regular file (a FIFO, a socket, a device, a folder) is refused as access
// denied, untouched: replacing it, or opening it to write, could block or harm the system.
[[noreturn]] void RefuseTarget() {
    throw TInOutError(5);
}

// Writes all of `bytes` to `fd`.
void WriteAll(int fd, const char* bytes, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno();
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}

// Where the export writes and how. Normally a temporary file beside the target, renamed over
// it only when complete. But a rename loses what a rewrite in place keeps, and then the target
// is rewritten in place: a target with other hard links (they would keep the old text), a
// target in a folder that may not be written (no temporary file can go there), and a dangling
// symbolic link (the file it names is created through it).
struct TExportPlan {
    std::string Target;   // the file finally written; a link's target for a link
    bool InPlace = false; // rewrite `Target` itself rather than rename over it
    int Mode = -1;        // permission bits the new file carries over, -1 for a new file
};

TExportPlan PlanExport(const std::string& fileName) {
    TExportPlan plan{fileName};
    struct stat link {};
    if (lstat(fileName.c_str(), &link) != 0) {
        if (errno != ENOENT)
            ThrowErrno();
        return plan; // a new file
    }
    struct stat info {};
    if (S_ISLNK(link.st_mode)) {
        if (stat(fileName.c_str(), &info) != 0) {
            if (errno != ENOENT)
                ThrowErrno();
            plan.InPlace = true; // dangling: writing through it creates the file it names
            return plan;
        }
        std::unique_ptr<char, decltype(&std::free)> real(realpath(fileName.c_str(), nullptr),
                                                         &std::free);
        if (!real)
            ThrowErrno();
        plan.Target = real.get();
    } else {
        info = link;
    }
    if (!S_ISREG(info.st_mode))
        RefuseTarget();
    // A target that may not be written is refused, as a rewrite in place would be.
    const int fd = open(plan.Target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        ThrowErrno();
    close(fd);
    plan.Mode = static_cast<int>(info.st_mode & 07777);
    plan.InPlace = info.st_nlink > 1;
    return plan;
}

// The file being written, either way.
class TExportFile {
  public:
    // Rewrites `target` in place: created or truncated, as a plain write would.
    static TExportFile InPlace(const std::string& target) {
        TExportFile file;
        file.Fd = open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
        if (file.Fd < 0)
            ThrowErrno();
        struct stat info {};
        if (fstat(file.Fd, &info) != 0)
            ThrowErrno();
        if (!S_ISREG(info.st_mode))
            RefuseTarget(); // it changed since it was looked at
        return file;
    }

    // A new temporary file beside `target`, with the usual permissions; nullopt when the
    // folder may not be written.
    // `guard` watches each name before the file is created.
    static std::optional<TExportFile> Temporary(const std::string& target,
                                                TTemporaryFileGuard& guard) {
        static std::atomic<unsigned> counter{0};
        // A short name of its own in the target's folder: a target whose name is near the
        // longest allowed still gets one.
        const std::size_t slash = target.rfind('/');
        const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
        TExportFile file;
        for (;;) {
            file.Name = folder + ".riffscope-" + std::to_string(getpid()) + "-" +
                        std::to_string(counter++) + ".tmp";
            guard.Watch(file.Name);
            file.Fd = open(file.Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (file.Fd >= 0) {
                file.Kept = false; // ours now: removed unless renamed over the target
                return file;
            }
            if (errno == EACCES || errno == EPERM)
                return std::nullopt;
            if (errno != EEXIST)
                ThrowErrno();
        }
    }

    TExportFile(TExportFile&& other) noexcept
        : Name(std::move(other.Name)), Fd(std::exchange(other.Fd, -1)),
          Kept(std::exchange(other.Kept, true)) {}
    TExportFile& operator=(TExportFile&&) = delete;
    ~TExportFile() {
        if (Fd >= 0)
            close(Fd);
        if (!Kept)
            unlink(Name.c_str());
    }

    void Write(const char* bytes, std::size_t size) { WriteAll(Fd, bytes, size); }
    void SetMode(int mode) {
        if (mode >= 0 && fchmod(Fd, static_cast<mode_t>(mode)) != 0)
            ThrowErrno();
    }
    // Flushes the data to the disk, so that a crash right after the rename cannot leave an
    // empty file where a good one was.
    void Sync() {
        if (fdatasync(Fd) != 0)
            ThrowErrno();
    }
    void Close() {
        int fd = std::exchange(Fd, -1);
        if (close(fd) != 0)
            ThrowErrno();
    }
    void RenameOver(const std::string& target) {
        if (rename(Name.c_str(), target.c_str()) != 0)
            ThrowErrno();
        Kept = true;
    }

  private:
    TExportFile() = default;
    std::string Name;
    int Fd = -1;
    bool Kept = true; // nothing of ours to remove until a temporary file is created
};

// The sink over the file being written.
class TFileSink : public TExportSink {
  public:
    explicit TFileSink(TExportFile& file) : File(file) {}
    void Write(const char* bytes, std::size_t size) override { File.Write(bytes, size); }

  private:
    TExportFile& File;
};

} // namespace

void WriteExportFile(const std::string& fileName, const std::function<void(TExportSink&)>& body) {
    TExportPlan plan = PlanExport(fileName);
    // Interrupted by a signal, the export removes its temporary file before it ends.
    TTemporaryFileGuard guard;
    std::optional<TExportFile> temporary =
        plan.InPlace ? std::nullopt : TExportFile::Temporary(plan.Target, guard);
    if (!plan.InPlace && !temporary) {
        if (plan.Mode < 0)
            throw TInOutError::FromErrno(EACCES); // a new file in a folder that is read-only
        plan.InPlace = true;
    }
    if (plan.InPlace) {
        TExportFile file = TExportFile::InPlace(plan.Target);
        TFileSink sink(file);
        body(sink);
        file.Close();
        return;
    }
    temporary->SetMode(plan.Mode);
    TFileSink sink(*temporary);
    body(sink);
    temporary->Sync();
    temporary->Close();
    temporary->RenameOver(plan.Target);
}
