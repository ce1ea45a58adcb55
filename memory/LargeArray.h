#pragma once
// A growable array of plain values in a large buffer: from 1 MiB on it lives in a mapping of
// its own that takes huge pages, so filling hundreds of megabytes of fresh memory costs a few
// hundred page faults rather than a hundred thousand. New elements are left uninitialised.

#include <algorithm>
#include <cstddef>
#include <type_traits>

#include "memory/LargeBuffer.h"

template <typename T> class TLargeArray {
    static_assert(std::is_trivially_copyable_v<T>);

  public:
    std::size_t size() const { return Count; }
    bool empty() const { return Count == 0; }
    T* data() { return reinterpret_cast<T*>(Buffer.Data()); }
    const T* data() const { return reinterpret_cast<const T*>(Buffer.Data()); }
    T* begin() { return data(); }
    T* end() { return data() + Count; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + Count; }
    T& operator[](std::size_t index) { return data()[index]; }
    const T& operator[](std::size_t index) const { return data()[index]; }

    void reserve(std::size_t count) {
        if (count > Capacity) {
            Buffer.Resize(count * sizeof(T));
            Capacity = count;
        }
    }
    void resize(std::size_t count) {
        if (count > Capacity)
            reserve(std::max(count, Capacity + Capacity / 2));
        Count = count;
    }
    void push_back(const T& value) {
        resize(Count + 1);
        data()[Count - 1] = value;
    }
    void clear() { Count = 0; }

  private:
    TLargeBuffer Buffer;
    std::size_t Count = 0;
    std::size_t Capacity = 0;
};
