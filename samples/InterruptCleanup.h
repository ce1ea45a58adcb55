#pragma once
// An export interrupted by SIGTERM, SIGINT or SIGHUP leaves no temporary file behind (it may
// be as large as the export): while one is being written its name is known to a handler that
// removes it and then lets the signal do what it would have done.

#include <cstdint>
#include <string>

class TTemporaryFileGuard {
  public:
    TTemporaryFileGuard() = default;
    ~TTemporaryFileGuard();
    // Watches `name` (in place of the name watched before) until destroyed: called before the
    // file is created, so no signal finds it there and unwatched. The handlers are in place
    // only while some file is watched.
    void Watch(const std::string& name);
    TTemporaryFileGuard(const TTemporaryFileGuard&) = delete;
    TTemporaryFileGuard& operator=(const TTemporaryFileGuard&) = delete;

  private:
    int Slot = -1;
};

// A rewrite in place interrupted by SIGTERM, SIGINT or SIGHUP would leave the file at its whole
// new length, zeros after the part written: while one is guarded, the handler cuts the file
// after the bytes of whole lines written so far and says so on standard error.
class TRewriteGuard {
  public:
    // Guards the rewrite of `fd`, named `name` in the message.
    TRewriteGuard(int fd, const std::string& name);
    ~TRewriteGuard();
    TRewriteGuard(const TRewriteGuard&) = delete;
    TRewriteGuard& operator=(const TRewriteGuard&) = delete;

    // A write of whole lines starts now (it never returns once the handler has begun).
    void Writing();
    // That write is done: the file holds `bytes` bytes of whole lines now.
    void Written(std::uint64_t bytes);

  private:
    int Slot = -1;
};
