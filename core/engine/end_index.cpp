#include "engine/end_index.h"

#include <cmath>

namespace quarvel::engine {

namespace {

// Cells of 2^-16 (about 1.5e-5) are wider than the search reach of 4e-6, so a query
// touches at most two cells per axis. Multiplying by a power of two is exact.
constexpr double kCellsPerUnit = 65536.0;
constexpr double kCellLimit = 4.0e18;

}  // namespace

bool EndIndex::isUsable(Point2 p) { return std::isfinite(p.x) && std::isfinite(p.y); }

std::int64_t EndIndex::cellOf(double v) {
    // Clamping keeps the cell order monotone, so huge coordinates only share cells.
    const double cell = std::floor(v * kCellsPerUnit);
    if (cell > kCellLimit) return static_cast<std::int64_t>(kCellLimit);
    if (cell < -kCellLimit) return -static_cast<std::int64_t>(kCellLimit);
    return static_cast<std::int64_t>(cell);
}

std::size_t EndIndex::bucketOf(std::int64_t cx, std::int64_t cy) const {
    const auto ux = static_cast<std::uint64_t>(cx);
    const auto uy = static_cast<std::uint64_t>(cy);
    const std::uint64_t h = (ux * 0x9E3779B97F4A7C15ull) ^ (uy * 0xC2B2AE3D27D4EB4Full);
    return static_cast<std::size_t>(h ^ (h >> 29)) & mask_;
}

void EndIndex::reset(std::size_t expected) {
    entries_.clear();
    entries_.reserve(expected);
    std::size_t buckets = 16;
    while (buckets < expected * 2) buckets *= 2;
    heads_.assign(buckets, -1);
    mask_ = buckets - 1;
}

void EndIndex::add(Point2 p, std::uint32_t item, std::uint8_t which) {
    if (!isUsable(p)) return;
    const std::int64_t cx = cellOf(p.x);
    const std::int64_t cy = cellOf(p.y);
    const std::size_t bucket = bucketOf(cx, cy);
    entries_.push_back({cx, cy, item, which, heads_[bucket]});
    heads_[bucket] = static_cast<std::int32_t>(entries_.size() - 1);
}

}  // namespace quarvel::engine
