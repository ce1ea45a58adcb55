#pragma once
// An export interrupted by SIGTERM, SIGINT or SIGHUP leaves no temporary file behind (it may
// be as large as the export): while one is being written its name is known to a handler that
// removes it and then lets the signal do what it would have done.

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
