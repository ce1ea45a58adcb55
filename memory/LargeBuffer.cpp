#include "LargeBuffer.h"

#include "HugePages.h"

#include <cstdlib>
#include <new>
#include <utility>

TLargeBuffer::~TLargeBuffer() { Release(); }

TLargeBuffer::TLargeBuffer(TLargeBuffer&& other) noexcept
    : Bytes(std::exchange(other.Bytes, nullptr)),
      SizeInBytes(std::exchange(other.SizeInBytes, 0)) {}

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
    void* grown = std::realloc(Bytes, bytes);
    if (grown == nullptr)
        throw std::bad_alloc();
    Bytes = static_cast<std::byte*>(grown);
    SizeInBytes = bytes;
    AdviseHugePages(Bytes, SizeInBytes);
}

void TLargeBuffer::Release() {
    std::free(Bytes);
    Bytes = nullptr;
    SizeInBytes = 0;
}
