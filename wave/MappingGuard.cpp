#include "wave/MappingGuard.h"

#include <atomic>
#include <csignal>
#include <cstdint>
#include <mutex>

#include <sys/mman.h>
#include <unistd.h>

namespace {

// A fixed table, so the handler reads it without locks or allocation.
constexpr int Slots = 64;
std::atomic<std::uintptr_t> SlotStart[Slots];
std::atomic<std::uintptr_t> SlotEnd[Slots];
std::atomic<bool> SlotCutShort[Slots];
std::atomic<bool> Changed{false};
std::uintptr_t PageSize = 4096; // read once when the handler is installed
struct sigaction Previous {};
std::once_flag Installed;

void OnBusError(int signal, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (int i = 0; i < Slots; ++i) {
        const std::uintptr_t start = SlotStart[i].load(std::memory_order_acquire);
        const std::uintptr_t end = SlotEnd[i].load(std::memory_order_acquire);
        if (start == 0 || address < start || address >= end)
            continue;
        // Everything from this page on reads as zeros from now on; the faulting read is
        // then done again and succeeds.
        const std::uintptr_t page = address & ~(PageSize - 1);
        if (mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                 MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            SlotCutShort[i].store(true, std::memory_order_release);
            Changed.store(true, std::memory_order_release);
            return;
        }
        break;
    }
    // Not ours: as it would have been without this handler.
    if (Previous.sa_flags & SA_SIGINFO && Previous.sa_sigaction != nullptr) {
        Previous.sa_sigaction(signal, info, context);
        return;
    }
    if (Previous.sa_handler != SIG_DFL && Previous.sa_handler != SIG_IGN &&
        Previous.sa_handler != nullptr) {
        Previous.sa_handler(signal);
        return;
    }
    std::signal(SIGBUS, SIG_DFL);
    std::raise(SIGBUS);
}

void Install() {
    PageSize = std::uintptr_t(sysconf(_SC_PAGESIZE));
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &Previous);
}

} // namespace

bool GuardMapping(const void* start, std::size_t length) {
    std::call_once(Installed, Install);
    const auto begin = reinterpret_cast<std::uintptr_t>(start);
    for (int i = 0; i < Slots; ++i) {
        std::uintptr_t expected = 0;
        if (SlotStart[i].load() == 0 &&
            SlotEnd[i].compare_exchange_strong(expected, begin + length)) {
            SlotCutShort[i].store(false, std::memory_order_release);
            SlotStart[i].store(begin, std::memory_order_release);
            return true;
        }
    }
    return false;
}

void UnguardMapping(const void* start) {
    const auto begin = reinterpret_cast<std::uintptr_t>(start);
    for (int i = 0; i < Slots; ++i) {
        if (SlotStart[i].load() == begin) {
            SlotStart[i].store(0, std::memory_order_release);
            SlotEnd[i].store(0, std::memory_order_release);
            return;
        }
    }
}

bool MappingCutShort(const void* start) {
    const auto begin = reinterpret_cast<std::uintptr_t>(start);
    for (int i = 0; i < Slots; ++i)
        if (SlotStart[i].load(std::memory_order_acquire) == begin)
            return SlotCutShort[i].load(std::memory_order_acquire);
    return false;
}

bool MappedFileChanged() {
    return Changed.load(std::memory_order_acquire);
}

void ClearMappedFileChanged() {
    Changed.store(false, std::memory_order_release);
}

void NoteMappedFileChanged() {
    Changed.store(true, std::memory_order_release);
}
