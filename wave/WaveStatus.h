#pragma once

#include <cstdint>
#include <string>

// The enumerator's own name ("wsOk", "wsFailed", ...) for a status code, or "status N" for a
// code the reader never produces.
std::string WaveStatusName(std::uint16_t status);
