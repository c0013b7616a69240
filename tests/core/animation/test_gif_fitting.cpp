// SPDX-License-Identifier: GPL-3.0-or-later
// FitGifQuality: the best quality whose file holds in the size, in at most six encodes.
#include "core/animation/animation.h"
#include "core/base/io_error.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Encoders whose file sizes are known functions of the quality. Catches a search that stops at a
// quality that does not fit or far under the size, one that takes more than six encodes or gives
// up before trying quality 0, a file returned from a quality other than the best one found, and a
// size that fits at quality 0 refused or one that does not accepted.
TEST(GifFitting, TheBestQualityThatFitsInSixEncodes)
{
    const struct {
        const char *name;
        int (*bytes)(int quality);
        qint64 maxBytes;
        int chosen;  // -1: refused
        int encodes; // how many files the search made
    } rows[] = {
        {"fits at once", [](int q) { return 100 + q; }, 200, 100, 1},
        // 100, 50, 25, 12 and 6 too large, then quality 0, too large as well.
        {"never fits", [](int q) { return 1000 + q; }, 999, -1, 6},
        {"only quality 0", [](int q) { return 100 + 10 * q; }, 105, 0, 6},
        // 100 and 50 too large; 35 fits, 41 fits within 3 % of the size.
        {"linear", [](int q) { return 1000 * q; }, 41500, 41, 4},
        {"exactly the limit", [](int q) { return 1000 * q; }, 50000, 50, 2},
        // A size that rises at 35, where the sizes at 100 and 50 lead: 34 fits next to it, and
        // the file returned still fits.
        {"not monotonic", [](int q) { return q == 35 ? 999999 : 1000 * q; }, 41500, 34, 4},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<int> asked;
        const auto encode = [&](int quality) {
            asked.push_back(quality);
            return QByteArray(row.bytes(quality), 'x');
        };
        if (row.chosen < 0) {
            EXPECT_THROW(FitGifQuality(row.maxBytes, kMaxQuality, encode), Failure);
        } else {
            const QByteArray file = FitGifQuality(row.maxBytes, kMaxQuality, encode);
            EXPECT_EQ(file.size(), row.bytes(row.chosen));
            EXPECT_LE(file.size(), row.maxBytes);
        }
        EXPECT_EQ(int(asked.size()), row.encodes);
        EXPECT_LE(int(asked.size()), kMaxFitEncodes);
        EXPECT_EQ(asked.front(), kMaxQuality);
    }
    // Asked for quality 0 from the start: one encode, then the refusal.
    int encodes = 0;
    EXPECT_THROW(FitGifQuality(10, 0,
                               [&](int) {
                                   ++encodes;
                                   return QByteArray(11, 'x');
                               }),
                 Failure);
    EXPECT_EQ(encodes, 1);
}

} // namespace
