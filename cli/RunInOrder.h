#pragma once
// Runs independent jobs on several threads and hands their results on in the jobs' order, so
// that output does not depend on how many ran at once.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

// Calls work(0..count-1) on `threads` threads and emit() with each result, in index order, on
// the calling thread. At most a bounded number of results wait to be emitted at any time.
template <class TResult>
void RunInOrder(std::size_t count, int threads, const std::function<TResult(std::size_t)>& work,
                const std::function<void(TResult&)>& emit) {
    if (threads <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            TResult result = work(i);
            emit(result);
        }
        return;
    }
    // Workers take the jobs a batch at a time, so that small jobs do not queue on the lock.
    constexpr std::size_t batch = 32;
    const std::size_t window = 8 * batch * std::size_t(threads);
    std::mutex lock;
    std::condition_variable changed;
    std::map<std::size_t, TResult> ready;
    std::size_t next = 0, emitted = 0;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&] {
            std::vector<TResult> done;
            for (;;) {
                std::unique_lock hold(lock);
                changed.wait(hold, [&] { return next >= count || next < emitted + window; });
                if (next >= count)
                    return;
                const std::size_t first = next;
                next = std::min(count, next + batch);
                const std::size_t end = next;
                hold.unlock();
                done.clear();
                for (std::size_t i = first; i < end; ++i)
                    done.push_back(work(i));
                hold.lock();
                for (std::size_t i = first; i < end; ++i)
                    ready.emplace(i, std::move(done[i - first]));
                changed.notify_all();
            }
        });
    }
    while (emitted < count) {
        std::unique_lock hold(lock);
        changed.wait(hold, [&] { return ready.count(emitted) > 0; });
        // Everything ready in order goes out with one wait.
        std::vector<TResult> out;
        for (auto it = ready.find(emitted); it != ready.end() && it->first == emitted + out.size();
             it = ready.erase(it))
            out.push_back(std::move(it->second));
        hold.unlock();
        for (TResult& result : out)
            emit(result);
        hold.lock();
        emitted += out.size();
        changed.notify_all();
    }
    for (std::thread& worker : workers)
        worker.join();
}
