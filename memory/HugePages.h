#pragma once

#include <cstddef>

// Asks the system to back the whole 2 MiB pages inside [bytes, bytes + size) with
// transparent huge pages. Filling gigabytes of fresh memory is dominated by page faults,
// and huge pages cut their number by 512. Small ranges are left alone.
void AdviseHugePages(void* bytes, std::size_t size);
