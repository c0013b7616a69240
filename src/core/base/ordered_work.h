// SPDX-License-Identifier: GPL-3.0-or-later
// A sequence of items whose costly step runs on the machine's cores while the calling thread makes
// the items and takes the results strictly in their order.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// The threads that work items when every core is used: all of them, since the calling thread
// mostly waits while they work.
inline int OrderedWorkThreads()
{
    static const int kCores = int(std::max(1u, std::thread::hardware_concurrency()));
    return kCores;
}

// For k = 1 .. count: item = make(k) on the calling thread, result = work(item) on a worker
// thread, then consume(k, result) on the calling thread, in the order of k. At most inFlight
// items are made and not yet consumed, which bounds the memory. Everything consume does
// happens in order, so a failure leaves exactly the results before it consumed, as one thread
// would. The first exception of make, work or consume stops the run (items already given out are
// worked and dropped) and is thrown here. With one core, or inFlight below 2, all three run on the
// calling thread.
template <typename Item, typename Result, typename Make, typename Work, typename Consume>
void RunInOrder(int count, int inFlight, Make make, Work work, Consume consume)
{
    const int threads = std::min(OrderedWorkThreads(), inFlight);
    if (threads < 2 || count < 2) {
        for (int k = 1; k <= count; ++k) {
            Result result = work(make(k));
            consume(k, std::move(result));
        }
        return;
    }

    struct Slot {
        std::optional<Item> item;
        std::optional<Result> result;
        std::exception_ptr error;
        bool done = false;
    };
    std::mutex mutex;
    std::condition_variable jobReady;
    std::condition_variable jobDone;
    std::deque<Slot> waiting; // the items made and not yet consumed; waiting[0] is item `first`
    int first = 1;
    int nextToWork = 1; // the first item no worker has taken
    bool stopping = false;

    auto workerLoop = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            jobReady.wait(lock,
                          [&] { return stopping || nextToWork < first + int(waiting.size()); });
            if (stopping)
                return;
            Slot &slot =
                waiting[size_t(nextToWork - first)]; // a deque keeps references on push_back
            ++nextToWork;
            lock.unlock();
            std::optional<Result> result;
            std::exception_ptr error;
            try {
                result.emplace(work(*slot.item));
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            slot.item.reset();
            slot.result = std::move(result);
            slot.error = error;
            slot.done = true;
            jobDone.notify_all();
        }
    };

    // Stops and joins the workers however this function is left.
    struct Crew {
        std::vector<std::thread> workers;
        std::mutex &mutex;
        std::condition_variable &jobReady;
        bool &stopping;
        ~Crew()
        {
            {
                std::lock_guard lock(mutex);
                stopping = true;
            }
            jobReady.notify_all();
            for (std::thread &worker : workers)
                worker.join();
        }
    } crew{{}, mutex, jobReady, stopping};
    for (int i = 0; i < threads; ++i)
        crew.workers.emplace_back(workerLoop);

    int made = 0;
    while (first <= count) {
        // Made outside the lock: a worker may be taking the waiting before it meanwhile.
        while (made < count && made - (first - 1) < inFlight) {
            Item item = make(made + 1);
            std::lock_guard lock(mutex);
            waiting.emplace_back().item.emplace(std::move(item));
            ++made;
            jobReady.notify_one();
        }
        std::unique_lock lock(mutex);
        jobDone.wait(lock, [&] { return waiting.front().done; });
        Slot slot = std::move(waiting.front());
        waiting.pop_front();
        ++first;
        lock.unlock();
        if (slot.error)
            std::rethrow_exception(slot.error);
        consume(first - 1, std::move(*slot.result));
    }
}
