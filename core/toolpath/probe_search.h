#pragma once
// Finds the pending region whose probe (first segment) is nearest a point, as the greedy
// cutting order measures it, without measuring every pending region: probes are kept in
// a uniform grid and searched ring by ring outwards until no unseen probe can be nearer.
#include <cstdint>
#include <vector>

#include "engine/region.h"

namespace quarvel::toolpath {

// Squared distance from p to the segment, measured to its first end when p projects
// onto the segment's line before the first end or at or beyond the second end.
double squaredDistanceToProbe(Point2 p, const engine::TMyEntity& s);

class ProbeSearch {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    // The distance a search starts from: a region must be nearer than this to win.
    static constexpr double kFarthest = 1e99;

    explicit ProbeSearch(std::vector<engine::TMyEntity> probes);

    // The pending probe with the smallest squared distance below 1e99 (the lowest index
    // on a tie), or kNone when no pending probe has one.
    std::size_t nearest(Point2 c);
    // Takes probe k out of the search.
    void remove(std::size_t k);
    std::size_t pendingCount() const { return pendingCount_; }
    const engine::TMyEntity& probe(std::size_t k) const { return probes_[k]; }
    // The lowest pending index, or kNone.
    std::size_t firstPending();

private:
    struct Best {
        double distance = kFarthest;
        std::size_t index = kNone;
    };
    void rebuild();
    void consider(std::size_t k, Point2 c, Best& best) const;
    void scanRing(std::int64_t fx, std::int64_t fy, std::int64_t ring, Point2 c, Best& best) const;

    std::vector<engine::TMyEntity> probes_;
    std::vector<std::uint8_t> pending_;
    std::size_t pendingCount_ = 0;
    std::size_t builtCount_ = 0;
    std::size_t firstPendingCursor_ = 0;
    // Probes too long (or not finite) for the grid: measured on every search.
    std::vector<std::uint32_t> wide_;
    double originX_ = 0, originY_ = 0, cell_ = 1;
    std::int64_t columns_ = 0, rows_ = 0;
    std::vector<std::uint32_t> cellStart_;
    std::vector<std::uint32_t> cellItems_;
};

}  // namespace quarvel::toolpath
