// SPDX-License-Identifier: GPL-3.0-or-later
// Splitting the rows of a picture operation over the machine's cores.
#pragma once

#include <algorithm>
#include <thread>
#include <vector>

// Runs rowsFn(first, last) over [0, rows) in contiguous bands, one per core, and waits for all.
// Each band writes only its own rows, so the result is the same as one pass over all rows.
// Small jobs stay on the calling thread: starting a thread costs more than they do.
// While one of these lives on a thread, ParallelRows on that thread keeps to it: a caller that
// already runs one job per core (the batch shrink) does not want each job split again.
class SingleBandScope {
  public:
    SingleBandScope() : m_previous(active()) { active() = true; }
    ~SingleBandScope() { active() = m_previous; }
    SingleBandScope(const SingleBandScope &) = delete;
    SingleBandScope &operator=(const SingleBandScope &) = delete;
    static bool &active()
    {
        thread_local bool single = false;
        return single;
    }

  private:
    bool m_previous;
};

template <typename RowsFn> void ParallelRows(int rows, long long workPerRow, RowsFn rowsFn)
{
    if (SingleBandScope::active()) {
        rowsFn(0, rows);
        return;
    }
    constexpr long long kWorthAThread = 200'000; // pixel operations
    // Asked once: the library reads it from /sys on every call.
    static const int kCores = int(std::max(1u, std::thread::hardware_concurrency()));
    const int bands = int(std::clamp<long long>(rows * workPerRow / kWorthAThread, 1, kCores));
    if (bands <= 1 || rows < 2) {
        rowsFn(0, rows);
        return;
    }
    std::vector<std::thread> workers;
    const int step = (rows + bands - 1) / bands;
    for (int first = step; first < rows; first += step)
        workers.emplace_back([=] { rowsFn(first, std::min(rows, first + step)); });
    rowsFn(0, std::min(rows, step));
    for (std::thread &worker : workers)
        worker.join();
}
