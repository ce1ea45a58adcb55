#pragma once
// Thrown where a long command stops because the user asked it to; not an error to show.

#include <stdexcept>

class TCancelled : public std::runtime_error {
  public:
    TCancelled() : std::runtime_error("Cancelled") {}
};
