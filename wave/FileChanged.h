#pragma once
// Thrown where a file changed while it was read (cut short, written to): what was read from it
// may mix two versions of the file, so nothing made of it counts.

#include <stdexcept>

class TFileChanged : public std::runtime_error {
  public:
    TFileChanged() : std::runtime_error("The file changed while it was read.") {}
};
