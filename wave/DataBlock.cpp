#include "wave/DataBlock.h"

#include <algorithm>
#include <cstring>

std::size_t TDataBlock::Read(void* destination, std::size_t count) {
    if (ReadPosition >= Size())
        return 0;
    std::size_t available = std::min(count, Size() - ReadPosition);
    std::memcpy(destination, Bytes() + ReadPosition, available);
    ReadPosition += available;
    return available;
}
