#pragma once
// An export interrupted by SIGTERM, SIGINT or SIGHUP leaves no temporary file behind (it may
// be as large as the export): while one is being written its name is known to a handler that
// removes it and then lets the signal do what it would have done.

#include <string>

class TTemporaryFileGuard {
  public:
    // Watches `name` until destroyed. The handlers are in place only while some file is watched.
    explicit TTemporaryFileGuard(const std::string& name);
    ~TTemporaryFileGuard();
    TTemporaryFileGuard(const TTemporaryFileGuard&) = delete;
    TTemporaryFileGuard& operator=(const TTemporaryFileGuard&) = delete;

  private:
    int Slot = -1;
};
