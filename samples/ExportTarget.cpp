#include "samples/ExportTarget.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "samples/InOutError.h"
#include "samples/InterruptCleanup.h"
#include "samples/RewriteCancelled.h"

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
    bool Exists = false;  // `Target` is there (a regular file)
    bool InPlace = false; // rewrite `Target` itself rather than rename over it
    int Mode = -1;        // permission bits the new file carries over, -1 for a new file
};

// Symbolic links in a chain at the end of a name: more than this is a loop.
constexpr int MostLinks = 40;

// The name a symbolic link `name` points at, relative to the link's own folder.
std::string LinkTarget(const std::string& name, const struct stat& link) {
    std::string text(static_cast<std::size_t>(link.st_size > 0 ? link.st_size : PATH_MAX) + 1,
                     '\0');
    const ssize_t size = readlink(name.c_str(), text.data(), text.size());
    if (size < 0)
        ThrowErrno();
    text.resize(static_cast<std::size_t>(size));
    const std::size_t slash = name.rfind('/');
    if (text.empty() || text[0] == '/' || slash == std::string::npos)
        return text;
    return name.substr(0, slash + 1) + text;
}

TExportPlan PlanExport(const std::string& fileName) {
    TExportPlan plan;
    std::string name = fileName;
    struct stat info {};
    for (int links = 0;; ++links) {
        if (lstat(name.c_str(), &info) != 0) {
            if (errno != ENOENT)
                ThrowErrno();
            plan.Target = name;
            plan.InPlace = links > 0; // dangling: writing through it creates the file it names
            return plan;
        }
        if (!S_ISLNK(info.st_mode))
            break;
        if (links == MostLinks)
            throw TInOutError::FromErrno(ELOOP);
        // Only a link of this process's own user is followed (for root: root's own links): a
        // link another user could plant, in a folder they may write, must not aim an export
        // at a file of ours that they may not write.
        if (info.st_uid != geteuid())
            RefuseTarget();
        name = LinkTarget(name, info);
    }
    if (!S_ISREG(info.st_mode))
        RefuseTarget();
    plan.Target = name;
    plan.Exists = true;
    plan.Mode = static_cast<int>(info.st_mode & 07777);
    plan.InPlace = info.st_nlink > 1;
    return plan;
}

// Set-user-ID and set-group-ID bits were given to a program, not to its text: a file the
// export rewrites never keeps them.
constexpr mode_t SetIdBits = S_ISUID | S_ISGID;

// The target itself, opened to write without changing a byte: it is what two exports lock,
// and what a rewrite in place writes. Never through a symbolic link (one planted after the
// plan was made is refused), never blocking on what is not a regular file.
class TTargetFile {
  public:
    TTargetFile(const std::string& target, bool create) : Name(target) {
        Fd = open(target.c_str(),
                  O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | (create ? O_CREAT : 0), 0666);
        if (Fd < 0) {
            if (errno == ELOOP)
                RefuseTarget();
            ThrowErrno();
        }
        if (fstat(Fd, &Info) != 0)
            ThrowErrno();
        if (!S_ISREG(Info.st_mode))
            RefuseTarget(); // it changed since it was looked at
    }
    ~TTargetFile() {
        if (Fd >= 0)
            close(Fd);
    }
    TTargetFile(const TTargetFile&) = delete;
    TTargetFile& operator=(const TTargetFile&) = delete;

    // Waits until no other export holds the target, then holds it until closed.
    void Lock() {
        while (flock(Fd, LOCK_EX) != 0)
            if (errno != EINTR)
                ThrowErrno();
    }
    // Whether `target` still names this file: another export may have renamed a new file over
    // it while this one waited for the lock.
    bool IsNamedBy(const std::string& target) const {
        struct stat now {};
        return lstat(target.c_str(), &now) == 0 && now.st_dev == Info.st_dev &&
               now.st_ino == Info.st_ino;
    }
    int Links() const {
        struct stat now {};
        return fstat(Fd, &now) == 0 ? static_cast<int>(now.st_nlink) : 1;
    }

    // Rewrites the file with the text of `body`, run twice: first to count its bytes, so that
    // the whole new length is reserved on the disk before the first byte changes (a disk that
    // fills up is found while the old text is still whole), then to write it.
    void Rewrite(const std::function<void(TExportSink&)>& body);

  private:
    int Fd = -1;
    std::string Name;
    struct stat Info {};
};

// Counts an export's bytes without writing them.
class TCountingSink : public TExportSink {
  public:
    void Write(const char*, std::size_t size) override { Size += size; }
    std::uint64_t Size = 0;
};

// Writes to a descriptor from its start on. A signal meanwhile cuts the file after what was
// written.
class TDescriptorSink : public TExportSink {
  public:
    TDescriptorSink(int fd, const std::string& name) : Fd(fd), Guard(fd, name) {}
    void Write(const char* bytes, std::size_t size) override {
        Guard.Writing();
        try {
            WriteAll(Fd, bytes, size);
        } catch (...) {
            Guard.Written(Size); // what is there is whole lines still; the rewrite cuts to it
            throw;
        }
        Size += size;
        Guard.Written(Size);
    }
    std::uint64_t Size = 0;

  private:
    int Fd;
    TRewriteGuard Guard;
};

void TTargetFile::Rewrite(const std::function<void(TExportSink&)>& body) {
    TCountingSink count;
    body(count);
    if ((Info.st_mode & SetIdBits) != 0 && fchmod(Fd, Info.st_mode & 07777 & ~SetIdBits) != 0)
        ThrowErrno();
    // A file system that cannot reserve space is written as before: it finds a full disk only
    // while writing.
    if (count.Size > 0 && fallocate(Fd, 0, 0, static_cast<off_t>(count.Size)) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS)
        ThrowErrno();
    TDescriptorSink sink(Fd, Name);
    try {
        body(sink);
    } catch (...) {
        // The old text is gone: rather than its whole new length with zeros after the part
        // written, the file keeps the whole lines written (the body writes whole lines only).
        if (ftruncate(Fd, static_cast<off_t>(sink.Size)) != 0)
            ThrowErrno();
        try {
            throw;
        } catch (const TCancelled&) {
            throw TRewriteCancelled(Name, sink.Size);
        }
    }
    if (ftruncate(Fd, static_cast<off_t>(sink.Size)) != 0)
        ThrowErrno();
    const int fd = std::exchange(Fd, -1);
    if (close(fd) != 0)
        ThrowErrno();
}

// The temporary file an export is written to before it is renamed over the target.
class TExportFile {
  public:
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
            // Watched from before it exists: SIGTERM, SIGINT or SIGHUP between its creation and
            // the start of a watch would leave it behind. A name of this pattern that is there
            // already is a leftover of this program, which a signal may remove too.
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
        if (mode >= 0 && fchmod(Fd, static_cast<mode_t>(mode) & ~SetIdBits) != 0)
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
    for (;;) {
        TExportPlan plan = PlanExport(fileName);
        // Two exports to one file take turns: each holds the target, from before its first
        // byte until its text is renamed over it or written in place.
        std::optional<TTargetFile> target;
        if (plan.Exists || plan.InPlace) {
            target.emplace(plan.Target, !plan.Exists);
            target->Lock();
            if (!target->IsNamedBy(plan.Target))
                continue; // replaced while waiting: the new file is the one to hold
            plan.InPlace = plan.InPlace || target->Links() > 1;
        }
        // Interrupted by a signal, the export removes its temporary file before it ends.
        TTemporaryFileGuard guard;
        std::optional<TExportFile> temporary =
            plan.InPlace ? std::nullopt : TExportFile::Temporary(plan.Target, guard);
        if (!plan.InPlace && !temporary) {
            if (!plan.Exists)
                throw TInOutError::FromErrno(EACCES); // a new file in a folder that is read-only
            plan.InPlace = true;
        }
        if (plan.InPlace) {
            target->Rewrite(body);
            return;
        }
        temporary->SetMode(plan.Mode);
        TFileSink sink(*temporary);
        body(sink);
        temporary->Sync();
        temporary->Close();
        temporary->RenameOver(plan.Target);
        return;
    }
}
