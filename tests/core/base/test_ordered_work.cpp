// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of RunInOrder: results are taken in order however the workers finish, and a failure
// leaves exactly the results before it taken.
#include "core/base/ordered_work.h"

#include <chrono>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// Later items finish first (their work is shorter), so taking them as they finish would show.
int slowFirst(int k)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(k % 4 == 1 ? 8 : 0));
    return k * k;
}

TEST(RunInOrder, TakesResultsInOrderAndStopsAtTheFirstFailure)
{
    for (const int inFlight : {1, 2, 8}) {
        std::vector<int> taken;
        RunInOrder<int, int>(
            40, inFlight, [](int k) { return k; }, slowFirst,
            [&](int k, int square) {
                EXPECT_EQ(square, k * k);
                taken.push_back(k);
            });
        ASSERT_EQ(taken.size(), 40u) << inFlight;
        for (size_t i = 0; i < taken.size(); ++i)
            EXPECT_EQ(taken[i], int(i + 1)) << inFlight;

        taken.clear();
        const auto failAtSeven = [&] {
            RunInOrder<int, int>(
                40, inFlight, [](int k) { return k; },
                [](int k) {
                    if (k == 7)
                        throw std::runtime_error("seven");
                    return slowFirst(k);
                },
                [&](int k, int) { taken.push_back(k); });
        };
        EXPECT_THROW(failAtSeven(), std::runtime_error);
        EXPECT_EQ(taken, (std::vector<int>{1, 2, 3, 4, 5, 6})) << inFlight;
    }
}

} // namespace
