#include "samples/InterruptCleanup.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>

#include <unistd.h>

namespace {

// Fixed room, so the handler needs neither locks nor memory.
constexpr int Slots = 16;
char Names[Slots][PATH_MAX];
std::atomic<bool> InUse[Slots];
constexpr int Signals[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction Previous[3];
std::mutex Installing;
int Watched = 0; // files watched now; the handlers are in place while above 0

void OnInterrupt(int signal) {
    for (int i = 0; i < Slots; ++i)
        if (InUse[i].load(std::memory_order_acquire))
            unlink(Names[i]);
    // Then the program ends as the signal asks: its default action.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

} // namespace

void TTemporaryFileGuard::Watch(const std::string& name) {
    if (name.size() >= PATH_MAX)
        return;
    std::lock_guard hold(Installing);
    if (Slot >= 0) {
        // Another name in the same slot: out of use while it changes.
        InUse[Slot].store(false, std::memory_order_release);
        std::memcpy(Names[Slot], name.c_str(), name.size() + 1);
        InUse[Slot].store(true, std::memory_order_release);
        return;
    }
    for (int i = 0; i < Slots; ++i) {
        if (InUse[i].load())
            continue;
        std::memcpy(Names[i], name.c_str(), name.size() + 1);
        InUse[i].store(true, std::memory_order_release);
        Slot = i;
        break;
    }
    if (Slot < 0 || Watched++ > 0)
        return;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (int k = 0; k < 3; ++k) {
        sigaction(Signals[k], nullptr, &Previous[k]);
        // A signal the program ignores (riffdump under nohup, SIGHUP) stays ignored: caught,
        // it would remove the temporary file of an export that goes on.
        if (Previous[k].sa_handler != SIG_IGN)
            sigaction(Signals[k], &action, nullptr);
    }
}

TTemporaryFileGuard::~TTemporaryFileGuard() {
    if (Slot < 0)
        return;
    std::lock_guard hold(Installing);
    InUse[Slot].store(false, std::memory_order_release);
    if (--Watched == 0)
        for (int k = 0; k < 3; ++k)
            sigaction(Signals[k], &Previous[k], nullptr);
}
