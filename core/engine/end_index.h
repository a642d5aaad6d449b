#pragma once
// A hash grid over segment or region ends, so that the chaining and joining searches
// find the ends at a point without walking the whole list. Ends are stored with their
// coordinates, grouped by bucket, so that a query reads one short run of memory. It only
// narrows the search: callers still apply the exact tests of the plain walk.
#include <cmath>
#include <cstdint>
#include <vector>

#include "geom/tolerance.h"

namespace quarvel::engine {

class EndIndex {
public:
    // Forgets every end; then add() each end and call seal() before searching.
    void reset(std::size_t expected);
    // Registers end `which` (0 first, 1 second) of item `item`. Ends that are not finite
    // are left out: they can never be within the tolerance of anything.
    void add(Point2 p, std::uint32_t item, std::uint8_t which) {
        if (isUsable(p)) added_.push_back({p, item, which});
    }
    // Groups the ends by bucket.
    void seal();

    // Calls visit(item, which) for every registered end within the end tolerance of p
    // (samePoint), in no particular order.
    template <class Visit>
    void forNear(Point2 p, Visit&& visit) const {
        if (!isUsable(p) || sealed_.empty()) return;
        const std::int64_t x0 = cellOf(p.x - kReach), x1 = cellOf(p.x + kReach);
        const std::int64_t y0 = cellOf(p.y - kReach), y1 = cellOf(p.y + kReach);
        for (std::int64_t cx = x0; cx <= x1; ++cx) {
            for (std::int64_t cy = y0; cy <= y1; ++cy) {
                const std::size_t bucket = bucketOf(cx, cy);
                for (std::uint32_t e = starts_[bucket]; e < starts_[bucket + 1]; ++e) {
                    const Entry& entry = sealed_[e];
                    if (samePoint(entry.point, p)) visit(entry.item, entry.which);
                }
            }
        }
    }

private:
    struct Entry {
        Point2 point;
        std::uint32_t item;
        std::uint8_t which;
    };
    // Twice the tolerance, so that rounding in the differences cannot hide a match.
    static constexpr double kReach = 2 * kEndTolerance;
    // Cells of 2^-12 (about 2.4e-4) are much wider than the search reach, so a query
    // nearly always touches one cell, and never more than two per axis. Multiplying by a
    // power of two is exact.
    static constexpr double kCellsPerUnit = 4096.0;
    static constexpr double kCellLimit = 4.0e18;

    static bool isUsable(Point2 p) { return std::isfinite(p.x) && std::isfinite(p.y); }
    static std::int64_t cellOf(double v) {
        // Clamping keeps the cell order monotone, so huge coordinates only share cells.
        const double cell = std::floor(v * kCellsPerUnit);
        if (cell > kCellLimit) return static_cast<std::int64_t>(kCellLimit);
        if (cell < -kCellLimit) return -static_cast<std::int64_t>(kCellLimit);
        return static_cast<std::int64_t>(cell);
    }
    std::size_t bucketOf(std::int64_t cx, std::int64_t cy) const {
        const auto ux = static_cast<std::uint64_t>(cx);
        const auto uy = static_cast<std::uint64_t>(cy);
        const std::uint64_t h = (ux * 0x9E3779B97F4A7C15ull) ^ (uy * 0xC2B2AE3D27D4EB4Full);
        return static_cast<std::size_t>(h ^ (h >> 29)) & mask_;
    }

    std::vector<Entry> added_;
    std::vector<Entry> sealed_;
    std::vector<std::uint32_t> starts_;
    std::vector<std::uint32_t> bucketOfAdded_, next_;  // working lists of seal()
    std::size_t mask_ = 0;
};

}  // namespace quarvel::engine
