#pragma once
// A file mapped into memory can be cut short or rewritten by another program while it is
// shown; reading a page that no longer has file behind it raises SIGBUS, which would end the
// program. A guarded mapping instead gets zero pages from the faulting page to its end, and
// MappedFileChanged() says so, for the window or the report to tell the user.

#include <cstddef>

// Guards `length` bytes from `start` (page-aligned, as mmap returns them). False when every
// slot is taken (then the mapping is simply not guarded).
bool GuardMapping(const void* start, std::size_t length);
void UnguardMapping(const void* start);

// Whether the guarded mapping that starts at `start` has read past the end of its file.
bool MappingCutShort(const void* start);

// Whether a guarded mapping has read past the end of its file since the last Clear.
bool MappedFileChanged();
void ClearMappedFileChanged();
// Says that a mapped file was found shorter than when it was mapped (outside the mapping).
void NoteMappedFileChanged();
