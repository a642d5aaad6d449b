#include "engine/end_index.h"

#include <cmath>

namespace quarvel::engine {

namespace {

// Cells of 2^-12 (about 2.4e-4) are much wider than the search reach of 4e-6, so a
// query nearly always touches one cell, and never more than two per axis. Multiplying
// by a power of two is exact.
constexpr double kCellsPerUnit = 4096.0;
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
    added_.clear();
    added_.reserve(expected);
}

void EndIndex::add(Point2 p, std::uint32_t item, std::uint8_t which) {
    if (isUsable(p)) added_.push_back({p, item, which});
}

void EndIndex::seal() {
    std::size_t buckets = 16;
    while (buckets < added_.size()) buckets *= 2;
    mask_ = buckets - 1;
    starts_.assign(buckets + 1, 0);
    for (const Entry& e : added_) ++starts_[bucketOf(cellOf(e.point.x), cellOf(e.point.y)) + 1];
    for (std::size_t b = 1; b <= buckets; ++b) starts_[b] += starts_[b - 1];
    sealed_.resize(added_.size());
    std::vector<std::uint32_t> next(starts_.begin(), starts_.end() - 1);
    for (const Entry& e : added_) sealed_[next[bucketOf(cellOf(e.point.x), cellOf(e.point.y))]++] = e;
}

}  // namespace quarvel::engine
