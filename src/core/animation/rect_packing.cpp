// SPDX-License-Identifier: GPL-3.0-or-later
// Packing rectangles into the smallest picture: the search over rules, orders and widths.
#include "core/animation/rect_packing.h"

#include "core/animation/max_rects.h"
#include "core/base/io_error.h"
#include "core/base/ordered_work.h"
#include "core/image/parallel.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cmath>
#include <numeric>
#include <optional>
#include <set>
#include <tuple>

namespace {

// The orders the rectangles are placed in, each largest first by its measure. Height first with
// the bottom-left rule fills row after row and is the quickest to a packing of little waste, so
// it comes first: every later trial stops as soon as it does worse.
enum class Order { Height, Area, LongerSide, Perimeter, Width };
constexpr std::array<Order, 5> kOrders{Order::Height, Order::Area, Order::LongerSide,
                                       Order::Perimeter, Order::Width};
constexpr std::array<PlacementRule, 5> kRulesByPromise{
    PlacementRule::BottomLeft, PlacementRule::BestShortSideFit, PlacementRule::BestAreaFit,
    PlacementRule::BestLongSideFit, PlacementRule::ContactPoint};

// The contact rule looks at every rectangle placed for every free one: it is tried at the best
// width alone, and beyond this many rectangles not at all, where it would cost more than all the
// other trials together.
constexpr size_t kContactPointLimit = 400;
// The rectangles the trials of every rule and order may place in all, at the bin widths the first
// sweep found best: at least one width, all of them for a few hundred rectangles. It keeps the
// search of thousands of frames to tens of milliseconds.
constexpr long long kPlacementBudget = 100'000;

// Bin widths around the square root of the rectangles' area: a packing of least area is rarely
// square, and which side is longer depends on the rectangles.
constexpr std::array<double, 14> kWidthFactors{0.6,  0.7, 0.8, 0.9,  1.0, 1.05, 1.1,
                                               1.15, 1.2, 1.3, 1.45, 1.6, 1.8,  2.0};

std::vector<int> inOrder(const std::vector<QSize> &sizes, Order order)
{
    const auto key = [order](QSize s) {
        const long long w = s.width(), h = s.height();
        switch (order) {
        case Order::Area: return std::pair(w * h, std::max(w, h));
        case Order::Perimeter: return std::pair(w + h, std::max(w, h));
        case Order::LongerSide: return std::pair(std::max(w, h), std::min(w, h));
        case Order::Width: return std::pair(w, h);
        case Order::Height: return std::pair(h, w);
        }
        return std::pair(0LL, 0LL);
    };
    std::vector<int> numbers(sizes.size());
    std::iota(numbers.begin(), numbers.end(), 0);
    std::stable_sort(numbers.begin(), numbers.end(),
                     [&](int a, int b) { return key(sizes[size_t(a)]) > key(sizes[size_t(b)]); });
    return numbers;
}

// The smallest power of two at least side.
long long powerOfTwoAtLeast(long long side)
{
    long long power = 1;
    while (power < side)
        power *= 2;
    return power;
}

// The rectangles in one order, with the smallest width and height of those from each on.
struct Ordering {
    std::vector<int> numbers;
    std::vector<QSize> smallestFrom;
};

Ordering orderingOf(const std::vector<QSize> &sizes, Order order)
{
    Ordering ordering{inOrder(sizes, order), {}};
    ordering.smallestFrom.resize(sizes.size() + 1, QSize(INT_MAX, INT_MAX));
    for (size_t k = sizes.size(); k-- > 0;)
        ordering.smallestFrom[k] =
            ordering.smallestFrom[k + 1].boundedTo(sizes[size_t(ordering.numbers[k])]);
    return ordering;
}

struct Trial {
    PlacementRule rule;
    const Ordering *order;
    int binWidth;
};

struct Outcome {
    long long area = LLONG_MAX;
    QSize size;
    std::vector<QPoint> places;
};

// What the search shares: the rectangles with the padding added to each (so that two placed side
// by side are the padding apart), the tallest bin, and the least area found so far, which lets a
// trial stop as soon as it cannot do better.
class Search {
  public:
    Search(const std::vector<QSize> &sizes, const PackingRules &rules)
        : m_rules(rules), m_binHeight(rules.maxSize - 2 * rules.border + rules.padding)
    {
        for (const QSize s : sizes)
            m_padded.emplace_back(s.width() + rules.padding, s.height() + rules.padding);
    }
    const std::vector<QSize> &padded() const { return m_padded; }
    int binSide() const { return m_binHeight; }

    // The picture's size for rectangles that reach extent.
    QSize pictureSize(QSize extent) const
    {
        long long w = extent.width() - m_rules.padding + 2LL * m_rules.border;
        long long h = extent.height() - m_rules.padding + 2LL * m_rules.border;
        if (m_rules.powerOfTwo) {
            w = powerOfTwoAtLeast(w);
            h = powerOfTwoAtLeast(h);
        }
        return {int(std::min<long long>(w, INT_MAX)), int(std::min<long long>(h, INT_MAX))};
    }

    // One trial; with mayStop it stops as soon as it reaches a larger area than the least found.
    std::optional<Outcome> run(const Trial &trial, bool mayStop)
    {
        MaxRectsBin bin(QSize(trial.binWidth, m_binHeight));
        Outcome outcome;
        outcome.places.resize(m_padded.size());
        const std::vector<int> &numbers = trial.order->numbers;
        for (size_t k = 0; k < numbers.size(); ++k) {
            const int i = numbers[k];
            bin.expectAtLeast(trial.order->smallestFrom[k]);
            const std::optional<QPoint> place = bin.place(m_padded[size_t(i)], trial.rule);
            if (!place)
                return std::nullopt;
            outcome.places[size_t(i)] = *place + QPoint(m_rules.border, m_rules.border);
            outcome.size = pictureSize(bin.extent());
            outcome.area = (long long)outcome.size.width() * outcome.size.height();
            // Equal areas go on: the first trial of the least area wins, whatever thread ends
            // first.
            if (mayStop && outcome.area > m_least.load(std::memory_order_relaxed))
                return std::nullopt;
        }
        if (outcome.size.width() > m_rules.maxSize || outcome.size.height() > m_rules.maxSize)
            return std::nullopt;
        long long least = m_least.load();
        while (outcome.area < least && !m_least.compare_exchange_weak(least, outcome.area)) {
        }
        return outcome;
    }

    std::vector<int> widths() const;

  private:
    PackingRules m_rules;
    int m_binHeight;
    std::vector<QSize> m_padded;
    std::atomic<long long> m_least{LLONG_MAX};
};

std::vector<int> Search::widths() const
{
    long long area = 0;
    int widest = 0;
    for (const QSize s : m_padded) {
        area += (long long)s.width() * s.height();
        widest = std::max(widest, s.width());
    }
    std::set<int> widths{widest, m_binHeight};
    const double root = std::sqrt(double(area));
    for (const double factor : kWidthFactors)
        widths.insert(int(std::clamp<double>(std::ceil(root * factor), widest, m_binHeight)));
    if (m_rules.powerOfTwo) // bins whose picture is exactly a power of two wide
        for (long long side = 1; side <= m_rules.maxSize; side *= 2) {
            const long long bin = side - 2LL * m_rules.border + m_rules.padding;
            if (bin >= widest && bin <= m_binHeight)
                widths.insert(int(bin));
        }
    return {widths.begin(), widths.end()};
}

// Runs the trials over the cores: outcome i of trial i, none where it failed or stopped.
std::vector<std::optional<Outcome>> runAll(Search &search, const std::vector<Trial> &trials,
                                           bool mayStop)
{
    std::vector<std::optional<Outcome>> outcomes(trials.size());
    std::atomic<size_t> next{0};
    ParallelRows(OrderedWorkThreads(), LLONG_MAX / 1024, [&](int, int) {
        for (size_t i = next++; i < trials.size(); i = next++)
            outcomes[i] = search.run(trials[i], mayStop);
    });
    return outcomes;
}

// The outcome of least area, the first of equals.
void keepLeast(std::optional<Outcome> &best, std::vector<std::optional<Outcome>> &outcomes)
{
    for (std::optional<Outcome> &outcome : outcomes)
        if (outcome && (!best || outcome->area < best->area))
            best = std::move(outcome);
}

// The first sweep, height first and bottom-left at every width, runs to the end: which widths
// it finds best must not depend on which thread finished first. The widths in that order.
std::vector<int> sweepWidths(Search &search, const Ordering &byHeight, std::optional<Outcome> &best)
{
    const std::vector<int> widths = search.widths();
    std::vector<Trial> trials;
    for (const int width : widths)
        trials.push_back({PlacementRule::BottomLeft, &byHeight, width});
    std::vector<std::optional<Outcome>> outcomes = runAll(search, trials, false);
    std::vector<size_t> ranked(widths.size());
    std::iota(ranked.begin(), ranked.end(), 0);
    std::stable_sort(ranked.begin(), ranked.end(), [&](size_t a, size_t b) {
        return (outcomes[a] ? outcomes[a]->area : LLONG_MAX) <
               (outcomes[b] ? outcomes[b]->area : LLONG_MAX);
    });
    std::vector<int> byArea;
    for (const size_t i : ranked)
        if (outcomes[i])
            byArea.push_back(widths[i]);
    keepLeast(best, outcomes);
    return byArea;
}

// Every other rule and order at the widths the sweep found best, as many widths as the budget
// allows (the contact rule at the best alone).
std::vector<Trial> refiningTrials(const std::vector<Ordering> &orders,
                                  const std::vector<int> &widths, size_t count)
{
    std::vector<std::pair<PlacementRule, const Ordering *>> combinations;
    for (const PlacementRule rule : kRulesByPromise)
        for (const Ordering &order : orders)
            if ((rule != PlacementRule::BottomLeft || &order != &orders.front()) &&
                (rule != PlacementRule::ContactPoint || count <= kContactPointLimit))
                combinations.emplace_back(rule, &order);
    const long long perWidth = (long long)count * (long long)combinations.size();
    const size_t tried =
        size_t(std::clamp<long long>(kPlacementBudget / perWidth, 1, (long long)widths.size()));
    std::vector<Trial> trials;
    for (const auto &[rule, order] : combinations)
        for (size_t i = 0; i < (rule == PlacementRule::ContactPoint ? 1 : tried); ++i)
            trials.push_back({rule, order, widths[i]});
    return trials;
}

} // namespace

Packing PackRectangles(const std::vector<QSize> &sizes, const PackingRules &rules)
{
    Search search(sizes, rules);
    if (sizes.empty()) {
        const QSize size = search.pictureSize(QSize(rules.padding, rules.padding));
        return {size.expandedTo(QSize(1, 1)), {}};
    }
    const int side = search.binSide();
    for (const QSize s : search.padded())
        if (s.width() > side || s.height() > side)
            throw Failure(TooLargeToPackText(rules.maxSize));
    std::vector<Ordering> orders;
    for (const Order order : kOrders)
        orders.push_back(orderingOf(search.padded(), order));
    std::optional<Outcome> best;
    const std::vector<int> widths = sweepWidths(search, orders.front(), best);
    if (!best)
        throw Failure(TooLargeToPackText(rules.maxSize));
    std::vector<std::optional<Outcome>> outcomes =
        runAll(search, refiningTrials(orders, widths, sizes.size()), true);
    keepLeast(best, outcomes);
    return {best->size, best->places};
}

QString TooLargeToPackText(int maxSize)
{
    return QCoreApplication::translate("Atlas", "フレームが %1 x %1 ピクセルに収まりません")
        .arg(maxSize);
}
