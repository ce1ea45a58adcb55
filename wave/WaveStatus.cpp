#include "wave/WaveStatus.h"

#include "wave/WaveInfo.h"

std::string WaveStatusName(std::uint16_t status) {
    switch (status) {
    case wsOk:
        return "wsOk";
    case wsFailed:
        return "wsFailed";
    case wsDataBeforeFormat:
        return "wsDataBeforeFormat";
    case wsBadChunkSize:
        return "wsBadChunkSize";
    case wsNotWave:
        return "wsNotWave";
    }
    return "status " + std::to_string(status);
}
