#pragma once
// How long work tells how far it has come: `done` of `total` units. The answer is whether to
// go on; false asks the work to stop as soon as it can.

#include <cstdint>
#include <functional>

using TProgressStep = std::function<bool(std::uint64_t done, std::uint64_t total)>;
