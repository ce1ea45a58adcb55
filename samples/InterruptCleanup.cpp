#include "samples/InterruptCleanup.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <ctime>
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

// In-place rewrites: the file, its name and the bytes of whole lines written so far.
constexpr int RewriteSlots = 4;
char RewriteNames[RewriteSlots][PATH_MAX];
std::atomic<int> RewriteFds[RewriteSlots] = {-1, -1, -1, -1};
std::atomic<std::uint64_t> RewriteWritten[RewriteSlots];
// A write to the slot's file is under way, on thread RewriteThread. The handler may run on
// another thread while it is: a cut made then would be undone by the rest of that write, which
// lands after it before the signal ends the process.
std::atomic<bool> RewriteWriting[RewriteSlots];
std::atomic<pid_t> RewriteThread[RewriteSlots];
// Set by the handler: no write to a guarded file starts after it.
std::atomic<bool> Stopping{false};

// Writes `text` to standard error, as a handler may.
void Say(const char* text) {
    if (write(2, text, std::strlen(text)) < 0)
        return; // nowhere to say it
}

void SayNumber(std::uint64_t value) {
    char digits[24];
    char* at = digits + sizeof digits;
    *--at = '\0';
    do
        *--at = char('0' + value % 10);
    while ((value /= 10) != 0);
    Say(at);
}

// A rewrite stopped in the middle would keep its whole new length, zeros after what was
// written: it is cut after its last whole line instead, and the user is told where.
void CutRewrites() {
    Stopping.store(true);
    const pid_t self = gettid();
    for (int i = 0; i < RewriteSlots; ++i) {
        const int fd = RewriteFds[i].load(std::memory_order_acquire);
        if (fd < 0)
            continue;
        // A write on this thread was interrupted by the handler and goes no further; one on
        // another thread is waited for (a write to a disk ends), within ten seconds.
        if (RewriteThread[i].load() != self) {
            const timespec pause{0, 1'000'000};
            for (int k = 0; k < 10'000 && RewriteWriting[i].load(); ++k)
                nanosleep(&pause, nullptr);
        }
        const std::uint64_t written = RewriteWritten[i].load(std::memory_order_acquire);
        if (ftruncate(fd, off_t(written)) != 0)
            continue;
        Say("Export interrupted: ");
        Say(RewriteNames[i]);
        Say(" was cut after its first ");
        SayNumber(written);
        Say(" bytes, at the end of a line.\n");
    }
}

void OnInterrupt(int signal) {
    for (int i = 0; i < Slots; ++i)
        if (InUse[i].load(std::memory_order_acquire))
            unlink(Names[i]);
    CutRewrites();
    // Then the program ends as the signal asks: its default action.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

// With `Installing` held: the handlers go in place with the first file watched.
void StartWatching() {
    if (Watched++ > 0)
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

// With `Installing` held: the handlers go with the last file watched.
void StopWatching() {
    if (--Watched == 0)
        for (int k = 0; k < 3; ++k)
            sigaction(Signals[k], &Previous[k], nullptr);
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
    if (Slot >= 0)
        StartWatching();
}

TTemporaryFileGuard::~TTemporaryFileGuard() {
    if (Slot < 0)
        return;
    std::lock_guard hold(Installing);
    InUse[Slot].store(false, std::memory_order_release);
    StopWatching();
}

TRewriteGuard::TRewriteGuard(int fd, const std::string& name) {
    if (name.size() >= PATH_MAX)
        return;
    std::lock_guard hold(Installing);
    for (int i = 0; i < RewriteSlots; ++i) {
        if (RewriteFds[i].load() >= 0)
            continue;
        std::memcpy(RewriteNames[i], name.c_str(), name.size() + 1);
        RewriteWritten[i].store(0, std::memory_order_release);
        RewriteFds[i].store(fd, std::memory_order_release);
        Slot = i;
        StartWatching();
        return;
    }
}

void TRewriteGuard::Writing() {
    if (Slot < 0)
        return;
    RewriteThread[Slot].store(gettid());
    RewriteWriting[Slot].store(true);
    // Once the handler is cutting, no more is written: the signal ends the process shortly.
    while (Stopping.load()) {
        RewriteWriting[Slot].store(false);
        pause();
    }
}

void TRewriteGuard::Written(std::uint64_t bytes) {
    if (Slot < 0)
        return;
    RewriteWritten[Slot].store(bytes, std::memory_order_release);
    RewriteWriting[Slot].store(false);
}

TRewriteGuard::~TRewriteGuard() {
    if (Slot < 0)
        return;
    std::lock_guard hold(Installing);
    RewriteFds[Slot].store(-1, std::memory_order_release);
    StopWatching();
}
