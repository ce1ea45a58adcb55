#include "memory/LargeBuffer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include <sys/mman.h>

namespace {

// From this size on a block lives in its own mapping: it then grows by remapping its pages
// (no copy) and takes huge pages from its first fault. Smaller blocks use the heap.
constexpr std::size_t MappedFrom = std::size_t(1) << 20;

// The advice covers the whole mapping: advising only part of it would split it in two, and
// a mapping in pieces can no longer be remapped as one.
void AdviseWholeMapping(void* block, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    madvise(block, bytes, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

// A fresh mapping that starts on a huge-page boundary, so that every whole 2 MiB of it can be
// backed by one huge page.
std::byte* MapBlock(std::size_t bytes) {
    constexpr std::uintptr_t hugePage = std::uintptr_t(2) << 20;
    const std::size_t reserved = bytes + hugePage;
    void* area =
        mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(area);
    const auto aligned = (start + hugePage - 1) & ~(hugePage - 1);
    const std::size_t pageSize = 4096;
    const auto end = (aligned + bytes + pageSize - 1) & ~(std::uintptr_t(pageSize) - 1);
    if (aligned > start)
        munmap(area, aligned - start);
    if (start + reserved > end)
        munmap(reinterpret_cast<void*>(end), start + reserved - end);
    auto* block = reinterpret_cast<std::byte*>(aligned);
    AdviseWholeMapping(block, bytes);
    return block;
}

// Moves a mapping's pages into a fresh aligned mapping of the new size: no byte is copied.
std::byte* RemapBlock(std::byte* block, std::size_t oldBytes, std::size_t newBytes) {
    std::byte* target = MapBlock(newBytes);
    void* moved = mremap(block, oldBytes, newBytes, MREMAP_MAYMOVE | MREMAP_FIXED, target);
    if (moved == MAP_FAILED) {
        munmap(target, newBytes);
        throw std::bad_alloc();
    }
    AdviseWholeMapping(moved, newBytes);
    return static_cast<std::byte*>(moved);
}

} // namespace

TLargeBuffer::~TLargeBuffer() {
    Release();
}

TLargeBuffer::TLargeBuffer(TLargeBuffer&& other) noexcept
    : Bytes(std::exchange(other.Bytes, nullptr)), SizeInBytes(std::exchange(other.SizeInBytes, 0)) {
}

TLargeBuffer& TLargeBuffer::operator=(TLargeBuffer&& other) noexcept {
    if (this != &other) {
        Release();
        Bytes = std::exchange(other.Bytes, nullptr);
        SizeInBytes = std::exchange(other.SizeInBytes, 0);
    }
    return *this;
}

void TLargeBuffer::Resize(std::size_t bytes) {
    if (bytes == SizeInBytes)
        return;
    if (bytes == 0) {
        Release();
        return;
    }
    const bool mapped = SizeInBytes >= MappedFrom;
    std::byte* resized = nullptr;
    if (mapped && bytes >= MappedFrom) {
        resized = RemapBlock(Bytes, SizeInBytes, bytes);
    } else if (!mapped && bytes < MappedFrom) {
        resized = static_cast<std::byte*>(std::realloc(Bytes, bytes));
        if (resized == nullptr)
            throw std::bad_alloc();
    } else {
        // Between the heap and a mapping: allocate the new home, copy, free the old one.
        resized =
            bytes >= MappedFrom ? MapBlock(bytes) : static_cast<std::byte*>(std::malloc(bytes));
        if (resized == nullptr)
            throw std::bad_alloc();
        if (SizeInBytes > 0)
            std::memcpy(resized, Bytes, std::min(bytes, SizeInBytes));
        Release();
    }
    Bytes = resized;
    SizeInBytes = bytes;
}

void TLargeBuffer::ReleaseBefore(std::size_t offset) {
    if (SizeInBytes < MappedFrom)
        return; // a heap block is small: it goes back whole when released
    const std::size_t pageSize = 4096;
    const std::size_t pages = std::min(offset, SizeInBytes) / pageSize * pageSize;
    if (pages > 0)
        madvise(Bytes, pages, MADV_DONTNEED);
}

void TLargeBuffer::Release() {
    if (SizeInBytes >= MappedFrom)
        munmap(Bytes, SizeInBytes);
    else
        std::free(Bytes);
    Bytes = nullptr;
    SizeInBytes = 0;
}
