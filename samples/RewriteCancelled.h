#pragma once
// A rewrite in place cancelled by the user: the old text is gone by then, so the file is cut
// after the last whole line written, and this says where, for the user to be told.

#include <cstdint>
#include <string>

#include "wave/Cancelled.h"

class TRewriteCancelled : public TCancelled {
  public:
    TRewriteCancelled(std::string target, std::uint64_t keptBytes)
        : Target(std::move(target)), KeptBytes(keptBytes) {}
    std::string Target;      // the file cut
    std::uint64_t KeptBytes; // its length now: whole lines only
};
