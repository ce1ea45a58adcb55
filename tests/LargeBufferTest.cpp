#include <gtest/gtest.h>

#include <cstdint>

#include "memory/LargeBuffer.h"

namespace {

// Growing and shrinking across the heap and mapped sizes keeps every byte that stays.
TEST(LargeBuffer, ResizingKeepsTheBytesThatStay) {
    TLargeBuffer buffer;
    std::size_t filled = 0;
    auto fill = [&](std::size_t size) {
        buffer.Resize(size);
        for (std::size_t i = filled; i < size; ++i)
            buffer.Data()[i] = std::byte(i * 7 % 251);
        filled = size;
    };
    auto check = [&](std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            if (buffer.Data()[i] != std::byte(i * 7 % 251))
                return false;
        return true;
    };
    for (std::size_t size :
         {std::size_t(100), std::size_t(3) << 20, std::size_t(9) << 20, std::size_t(40) << 20}) {
        fill(size);
        ASSERT_TRUE(check(size)) << size;
    }
    for (std::size_t size : {std::size_t(5) << 20, std::size_t(1000), std::size_t(7) << 20}) {
        const std::size_t kept = std::min(size, filled);
        buffer.Resize(size);
        filled = kept;
        ASSERT_TRUE(check(kept)) << size;
        fill(size);
    }
    buffer.Release();
    EXPECT_EQ(buffer.Size(), 0u);
    EXPECT_EQ(buffer.Data(), nullptr);
}

TEST(LargeBuffer, MovingHandsTheBlockOver) {
    TLargeBuffer a;
    a.Resize(std::size_t(2) << 20);
    a.Data()[0] = std::byte(42);
    TLargeBuffer b = std::move(a);
    EXPECT_EQ(a.Size(), 0u);
    EXPECT_EQ(b.Data()[0], std::byte(42));
    EXPECT_EQ(b.Size(), std::size_t(2) << 20);
}

} // namespace
