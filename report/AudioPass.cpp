#include "report/AudioPass.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <memory>
#include <mutex>
#include <numeric>
#include <thread>

namespace {

// Frames decoded at a time, fewer for files of many channels so a block stays small.
std::size_t BlockFramesFor(int channels) {
    const std::size_t byChannels = (std::size_t(1) << 21) / std::size_t(std::max(channels, 1));
    return std::clamp<std::size_t>(byChannels, 16, 65536);
}

// Frames of one part: a few million, a whole number of every listener's alignment.
std::uint64_t PartFramesFor(const TPassSetup& setup, std::uint64_t frames, int channels) {
    std::uint64_t alignment = 1;
    for (const TAudioListener* listener : setup.Listeners)
        alignment = std::lcm(alignment, std::max<std::uint64_t>(1, listener->PartAlignment()));
    const std::uint64_t wanted =
        setup.PartFrames ? setup.PartFrames
                         : std::max<std::uint64_t>(4096, (std::uint64_t(8) << 20) /
                                                             std::uint64_t(std::max(channels, 1)));
    const std::uint64_t aligned = std::max<std::uint64_t>(1, wanted / alignment) * alignment;
    return std::max<std::uint64_t>(aligned, std::min<std::uint64_t>(frames, alignment));
}

// Values as fractions of full scale, in loops the compiler can widen.
void ScaleInts(const std::int32_t* __restrict in, float* __restrict out, std::size_t count,
               float scale) {
    for (std::size_t i = 0; i < count; ++i)
        out[i] = float(in[i]) * scale;
}
void ScaleDoubles(const double* __restrict in, float* __restrict out, std::size_t count,
                  double scale) {
    for (std::size_t i = 0; i < count; ++i)
        out[i] = float(in[i] * scale);
}

// One thread's decoding room: planar values for a block, and their scaled floats.
class TBlockRoom {
  public:
    TBlockRoom(const TAudioSamples& samples, double fullScale)
        : Samples(samples), Channels(samples.Channels()), Scale(float(1.0 / fullScale)),
          // No more room than the file's frames need: a small file takes little.
          Size(std::size_t(
              std::clamp<std::uint64_t>(samples.Frames(), 1, BlockFramesFor(samples.Channels())))) {
        Scaled.resize(std::size_t(Channels) * Size);
        if (samples.HasIntValues())
            Ints.resize(std::size_t(Channels) * Size);
        else
            Doubles.resize(std::size_t(Channels) * Size);
        for (int c = 0; c < Channels; ++c) {
            ScaledRows.push_back(Scaled.data() + std::size_t(c) * Size);
            IntRows.push_back(Ints.empty() ? nullptr : Ints.data() + std::size_t(c) * Size);
            DoubleRows.push_back(Doubles.empty() ? nullptr
                                                 : Doubles.data() + std::size_t(c) * Size);
        }
    }
    std::size_t BlockFrames() const { return Size; }

    // Decodes frames first..first+count-1 (count at most BlockFrames()).
    TAudioBlock Read(std::uint64_t first, std::size_t count) {
        const bool ints = !Ints.empty();
        Samples.ReadFrames(first, count, IntRows.data(), DoubleRows.data());
        for (std::size_t c = 0; c < std::size_t(Channels); ++c) {
            if (ints)
                ScaleInts(IntRows[c], ScaledRows[c], count, Scale);
            else
                ScaleDoubles(DoubleRows[c], ScaledRows[c], count, double(Scale));
        }
        TAudioBlock block;
        block.FirstFrame = first;
        block.Frames = count;
        block.Channels = Channels;
        block.Scaled = ScaledRows.data();
        block.Ints = ints ? IntRows.data() : nullptr;
        block.Doubles = ints ? nullptr : DoubleRows.data();
        return block;
    }

  private:
    const TAudioSamples& Samples;
    int Channels;
    float Scale;
    std::size_t Size;
    std::vector<float> Scaled;
    std::vector<std::int32_t> Ints;
    std::vector<double> Doubles;
    std::vector<float*> ScaledRows;
    std::vector<std::int32_t*> IntRows;
    std::vector<double*> DoubleRows;
};

// Progress of the whole pass: bytes digested and frames measured, as one count.
class TPassProgress {
  public:
    TPassProgress(const TProgressStep& step, std::uint64_t total) : Step(step), Total(total) {}
    // Adds `done` units; false once the pass should stop.
    bool Add(std::uint64_t done) {
        const std::uint64_t now = Done.fetch_add(done) + done;
        if (Stopped.load())
            return false;
        if (!Step)
            return true;
        std::lock_guard hold(Telling);
        if (!Step(now, Total))
            Stopped = true;
        return !Stopped.load();
    }
    bool IsStopped() const { return Stopped.load(); }
    void Stop() { Stopped = true; }

  private:
    const TProgressStep& Step;
    std::uint64_t Total;
    std::atomic<std::uint64_t> Done{0};
    std::atomic<bool> Stopped{false};
    std::mutex Telling;
};

} // namespace

TPassFormat PassFormatOf(const TAudioSamples& samples, const TWaveFormat& format) {
    TPassFormat pass;
    pass.Format = format;
    pass.Frames = samples.Frames();
    pass.Float = samples.IsFloat();
    if (pass.Float) {
        pass.MinValue = -1.0;
        pass.MaxValue = 1.0;
        pass.FullScale = 1.0;
        pass.ValueBits = 0;
    } else {
        const int bits = samples.BitsOfValues();
        pass.ValueBits = bits;
        pass.FullScale = samples.FullScale();
        pass.MinValue = -pass.FullScale;
        pass.MaxValue = pass.FullScale - 1;
    }
    return pass;
}

bool RunAudioPass(const TPassSetup& setup, const TPassFormat& format) {
    const TAudioSamples* samples = setup.Samples;
    const std::uint64_t frames = samples ? samples->Frames() : 0;
    const int channels = samples ? samples->Channels() : 0;
    const bool listening = samples && !setup.Listeners.empty();
    const bool digesting = !setup.ByteListeners.empty() && setup.Bytes.File;
    TPassProgress progress(setup.Progress,
                           (digesting ? setup.Bytes.Size : 0) + (listening ? frames : 0));

    for (TAudioListener* listener : setup.Listeners)
        listener->Begin(format);

    // The parts every audio listener measures, made up front so any thread can take one.
    const std::uint64_t partFrames = listening ? PartFramesFor(setup, frames, channels) : 1;
    const std::size_t partCount =
        listening ? std::size_t((frames + partFrames - 1) / partFrames) : 0;
    std::vector<std::vector<std::unique_ptr<TListenerPart>>> parts(setup.Listeners.size());
    std::uint64_t warmUp = 0;
    for (std::size_t l = 0; l < setup.Listeners.size(); ++l) {
        warmUp = std::max(warmUp, setup.Listeners[l]->WarmUpFrames());
        for (std::size_t p = 0; p < partCount; ++p) {
            const std::uint64_t first = p * partFrames;
            parts[l].push_back(
                setup.Listeners[l]->Part(first, std::min(partFrames, frames - first)));
        }
    }
    std::atomic<std::size_t> nextPart{0};

    const auto measureParts = [&] {
        if (!listening)
            return;
        TBlockRoom room(*samples, format.FullScale);
        for (;;) {
            const std::size_t p = nextPart.fetch_add(1);
            if (p >= partCount || progress.IsStopped())
                return;
            const std::uint64_t first = p * partFrames;
            const std::uint64_t end = std::min(frames, first + partFrames);
            // Frames before the part that settle the listeners that ask for them.
            for (std::uint64_t at = first - std::min(first, warmUp); at < first;) {
                const std::size_t count =
                    std::size_t(std::min<std::uint64_t>(room.BlockFrames(), first - at));
                const TAudioBlock block = room.Read(at, count);
                for (std::size_t l = 0; l < setup.Listeners.size(); ++l) {
                    const std::uint64_t wanted = setup.Listeners[l]->WarmUpFrames();
                    if (wanted && at + count > first - std::min(first, wanted))
                        parts[l][p]->WarmUp(block);
                }
                at += count;
            }
            for (std::uint64_t at = first; at < end;) {
                const std::size_t count =
                    std::size_t(std::min<std::uint64_t>(room.BlockFrames(), end - at));
                const TAudioBlock block = room.Read(at, count);
                for (std::size_t l = 0; l < setup.Listeners.size(); ++l)
                    parts[l][p]->Frames(block);
                at += count;
                if (!progress.Add(count))
                    return;
            }
        }
    };
    const auto digest = [&] {
        constexpr std::size_t Stretch = std::size_t(4) << 20;
        std::vector<std::uint8_t> buffer(
            std::size_t(std::min<std::uint64_t>(Stretch, setup.Bytes.Size)));
        for (std::uint64_t at = 0; at < setup.Bytes.Size;) {
            const std::size_t size =
                std::size_t(std::min<std::uint64_t>(Stretch, setup.Bytes.Size - at));
            setup.Bytes.File->ReadAt(setup.Bytes.Offset + at, buffer.data(), size);
            for (TByteListener* listener : setup.ByteListeners)
                listener->Bytes(buffer.data(), size);
            at += size;
            if (!progress.Add(size))
                return;
        }
        for (TByteListener* listener : setup.ByteListeners)
            listener->End();
    };

    // The digest is one thread's, from the first byte to the last; every other thread
    // measures parts, and the digest's thread joins them when it is done.
    const int threads =
        setup.Threads > 0 ? setup.Threads : int(std::max(1u, std::thread::hardware_concurrency()));
    std::exception_ptr failure;
    std::mutex failureLock;
    const auto guarded = [&](const auto& work) {
        try {
            work();
        } catch (...) {
            // The first failure (memory) ends the pass on every thread and is thrown after.
            std::lock_guard hold(failureLock);
            if (!failure)
                failure = std::current_exception();
            progress.Stop();
        }
    };
    std::vector<std::thread> helpers;
    // A small file is done sooner on one thread than a thread is started.
    constexpr std::uint64_t SamplesWorthAThread = std::uint64_t(1) << 20;
    const bool small = frames * std::uint64_t(std::max(channels, 1)) < SamplesWorthAThread;
    const int helperCount = small ? 0 : std::min<int>(threads - 1, int(partCount));
    try {
        for (int t = 0; t < helperCount; ++t)
            helpers.emplace_back([&] { guarded(measureParts); });
    } catch (...) {
        // No more threads could be started: the ones there (or this one alone) do the work.
    }
    guarded([&] {
        if (digesting)
            digest();
        measureParts();
    });
    for (std::thread& helper : helpers)
        helper.join();
    if (failure)
        std::rethrow_exception(failure);
    if (progress.IsStopped())
        return false;
    for (std::size_t l = 0; l < setup.Listeners.size(); ++l)
        setup.Listeners[l]->End(std::move(parts[l]));
    return true;
}
