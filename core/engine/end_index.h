#pragma once
// A hash grid over segment or region ends, so that the chaining and joining searches
// find the ends near a point without walking the whole list. It only narrows the
// search: callers still apply the exact tests of the plain walk to what it returns.
#include <cstdint>
#include <vector>

#include "engine/tolerance.h"

namespace quarvel::engine {

class EndIndex {
public:
    // Forgets every end and prepares for about `expected` ends.
    void reset(std::size_t expected);
    // Registers end `which` (0 first, 1 second) of item `item`. Ends that are not finite
    // are left out: they can never be within the tolerance of anything.
    void add(Point2 p, std::uint32_t item, std::uint8_t which);

    // Calls visit(item, which) for every registered end that may lie within the end
    // tolerance of p (a superset; the order is unspecified).
    template <class Visit>
    void forNear(Point2 p, Visit&& visit) const {
        if (!isUsable(p)) return;
        const std::int64_t x0 = cellOf(p.x - kReach), x1 = cellOf(p.x + kReach);
        const std::int64_t y0 = cellOf(p.y - kReach), y1 = cellOf(p.y + kReach);
        for (std::int64_t cx = x0; cx <= x1; ++cx) {
            for (std::int64_t cy = y0; cy <= y1; ++cy) {
                for (std::int32_t e = heads_[bucketOf(cx, cy)]; e >= 0; e = entries_[e].next) {
                    const Entry& entry = entries_[static_cast<std::size_t>(e)];
                    if (entry.cellX == cx && entry.cellY == cy) visit(entry.item, entry.which);
                }
            }
        }
    }

private:
    struct Entry {
        std::int64_t cellX, cellY;
        std::uint32_t item;
        std::uint8_t which;
        std::int32_t next;
    };
    // Twice the tolerance, so that rounding in the differences cannot hide a match.
    static constexpr double kReach = 2 * kEndTolerance;
    static bool isUsable(Point2 p);
    static std::int64_t cellOf(double v);
    std::size_t bucketOf(std::int64_t cx, std::int64_t cy) const;

    std::vector<Entry> entries_;
    std::vector<std::int32_t> heads_;
    std::size_t mask_ = 0;
};

}  // namespace quarvel::engine
