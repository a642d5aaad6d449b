#include "toolpath/probe_search.h"

#include <algorithm>
#include <cmath>

namespace quarvel::toolpath {

using engine::TMyEntity;

namespace {

// Probes whose box spans more cells than this go to the list measured every time.
constexpr double kMaxCellsSpanned = 64;
constexpr double kCellIndexLimit = 1e12;
// Grid spans above this are searched without the grid (see rebuild).
constexpr double kMaxGridSpan = 1e100;
constexpr double kMaxCellsPerSide = 4096;

// Cells along one side for a span of `cells` cell widths, converted only once it is
// known to fit.
std::int64_t cellCount(double cells) {
    if (!(cells < kMaxCellsPerSide)) return static_cast<std::int64_t>(kMaxCellsPerSide);
    return static_cast<std::int64_t>(cells) + 1;
}

struct Box {
    double minX, minY, maxX, maxY;
};

Box boxOf(const TMyEntity& s) {
    return {std::min(s.x1, s.x2), std::min(s.y1, s.y2), std::max(s.x1, s.x2), std::max(s.y1, s.y2)};
}

bool isFinite(const Box& b) {
    return std::isfinite(b.minX) && std::isfinite(b.minY) && std::isfinite(b.maxX) &&
           std::isfinite(b.maxY);
}

}  // namespace

double squaredDistanceToProbe(Point2 p, const TMyEntity& s) {
    const double ax = p.x - s.x1;
    const double ay = p.y - s.y1;
    const double bx = s.x2 - s.x1;
    const double by = s.y2 - s.y1;
    const double dot = ax * bx + ay * by;
    const double toFirst = ax * ax + ay * ay;
    if (dot <= 0) return toFirst;
    const double length2 = bx * bx + by * by;
    const double t = dot / length2;
    if (t >= 1) return toFirst;
    const double d = toFirst - t * t * length2;
    return d < 0 ? 0 : d;
}

ProbeSearch::ProbeSearch(std::vector<TMyEntity> probes)
    : probes_(std::move(probes)), pending_(probes_.size(), 1), pendingCount_(probes_.size()) {
    rebuild();
}

void ProbeSearch::remove(std::size_t k) {
    pending_[k] = 0;
    --pendingCount_;
    // Keep the grid about as dense as when it was built, so searches stay short.
    if (pendingCount_ > 0 && pendingCount_ * 4 < builtCount_) rebuild();
}

std::size_t ProbeSearch::firstPending() {
    while (firstPendingCursor_ < pending_.size() && !pending_[firstPendingCursor_])
        ++firstPendingCursor_;
    return firstPendingCursor_ < pending_.size() ? firstPendingCursor_ : kNone;
}

void ProbeSearch::rebuild() {
    builtCount_ = pendingCount_;
    wide_.clear();
    std::vector<std::uint32_t> gridded;
    bool any = false;
    Box all{0, 0, 0, 0};
    for (std::size_t k = 0; k < probes_.size(); ++k) {
        if (!pending_[k]) continue;
        const Box b = boxOf(probes_[k]);
        if (!isFinite(b)) {
            wide_.push_back(static_cast<std::uint32_t>(k));
            continue;
        }
        gridded.push_back(static_cast<std::uint32_t>(k));
        all = any ? Box{std::min(all.minX, b.minX), std::min(all.minY, b.minY),
                        std::max(all.maxX, b.maxX), std::max(all.maxY, b.maxY)}
                  : b;
        any = true;
    }
    columns_ = rows_ = 0;
    cellStart_.assign(1, 0);
    cellItems_.clear();
    if (gridded.empty()) return;
    const double spanX = all.maxX - all.minX, spanY = all.maxY - all.minY;
    // Beyond this span squared distances overflow, so no grid ring can bound the search:
    // every probe is measured on every search, as the plain walk does.
    if (!(spanX <= kMaxGridSpan && spanY <= kMaxGridSpan)) {
        wide_.insert(wide_.end(), gridded.begin(), gridded.end());
        std::sort(wide_.begin(), wide_.end());
        return;
    }
    const double n = static_cast<double>(gridded.size());
    cell_ = spanX > 0 && spanY > 0 ? std::sqrt(spanX * spanY / n) : std::max(spanX, spanY) / n;
    if (!(cell_ > 0) || !std::isfinite(cell_)) cell_ = 1;
    originX_ = all.minX;
    originY_ = all.minY;
    columns_ = cellCount(spanX / cell_);
    rows_ = cellCount(spanY / cell_);
    cell_ = std::max(
        {cell_, spanX / static_cast<double>(columns_), spanY / static_cast<double>(rows_)});
    const auto cellRange = [&](const Box& b, std::int64_t& x0, std::int64_t& x1, std::int64_t& y0,
                               std::int64_t& y1) {
        x0 = std::clamp<std::int64_t>(static_cast<std::int64_t>((b.minX - originX_) / cell_), 0,
                                      columns_ - 1);
        x1 = std::clamp<std::int64_t>(static_cast<std::int64_t>((b.maxX - originX_) / cell_), 0,
                                      columns_ - 1);
        y0 = std::clamp<std::int64_t>(static_cast<std::int64_t>((b.minY - originY_) / cell_), 0,
                                      rows_ - 1);
        y1 = std::clamp<std::int64_t>(static_cast<std::int64_t>((b.maxY - originY_) / cell_), 0,
                                      rows_ - 1);
    };
    // Two passes: count per cell, then fill (compressed rows).
    std::vector<std::uint32_t> counts(static_cast<std::size_t>(columns_ * rows_) + 1, 0);
    std::vector<std::uint32_t> placed;
    for (int pass = 0; pass < 2; ++pass) {
        for (std::uint32_t k : gridded) {
            std::int64_t x0, x1, y0, y1;
            cellRange(boxOf(probes_[k]), x0, x1, y0, y1);
            if (static_cast<double>(x1 - x0) > kMaxCellsSpanned ||
                static_cast<double>(y1 - y0) > kMaxCellsSpanned) {
                if (pass == 0) wide_.push_back(k);
                continue;
            }
            for (std::int64_t y = y0; y <= y1; ++y) {
                for (std::int64_t x = x0; x <= x1; ++x) {
                    const auto cell = static_cast<std::size_t>(y * columns_ + x);
                    if (pass == 0)
                        ++counts[cell + 1];
                    else
                        cellItems_[placed[cell]++] = k;
                }
            }
        }
        if (pass == 0) {
            for (std::size_t i = 1; i < counts.size(); ++i) counts[i] += counts[i - 1];
            cellStart_ = counts;
            placed.assign(counts.begin(), counts.end() - 1);
            cellItems_.resize(counts.back());
        }
    }
    std::sort(wide_.begin(), wide_.end());
}

void ProbeSearch::consider(std::size_t k, Point2 c, Best& best) const {
    if (!pending_[k]) return;
    const double d = squaredDistanceToProbe(c, probes_[k]);
    // Strictly nearer wins; on equal distance the lower index, as a walk in index order.
    if (d < best.distance || (best.index != kNone && d == best.distance && k < best.index)) {
        best.distance = d;
        best.index = k;
    }
}

void ProbeSearch::scanRing(std::int64_t fx, std::int64_t fy, std::int64_t ring, Point2 c,
                           Best& best) const {
    const std::int64_t y0 = std::max<std::int64_t>(fy - ring, 0);
    const std::int64_t y1 = std::min<std::int64_t>(fy + ring, rows_ - 1);
    for (std::int64_t y = y0; y <= y1; ++y) {
        const bool edgeRow = y == fy - ring || y == fy + ring;
        const std::int64_t step = edgeRow ? 1 : std::max<std::int64_t>(2 * ring, 1);
        for (std::int64_t x = fx - ring; x <= fx + ring; x += step) {
            if (x < 0 || x >= columns_) continue;
            const auto cell = static_cast<std::size_t>(y * columns_ + x);
            for (std::uint32_t i = cellStart_[cell]; i < cellStart_[cell + 1]; ++i)
                consider(cellItems_[i], c, best);
        }
    }
}

std::size_t ProbeSearch::nearest(Point2 c) {
    Best best;
    for (std::uint32_t k : wide_) consider(k, c, best);
    if (columns_ == 0 || !std::isfinite(c.x) || !std::isfinite(c.y)) {
        if (columns_ > 0)
            for (std::uint32_t k : cellItems_) consider(k, c, best);
        return best.index;
    }
    const auto cellIndex = [this](double v, double origin) {
        return static_cast<std::int64_t>(
            std::clamp(std::floor((v - origin) / cell_), -kCellIndexLimit, kCellIndexLimit));
    };
    const std::int64_t fx = cellIndex(c.x, originX_), fy = cellIndex(c.y, originY_);
    // Rings nearer than the grid hold nothing; the last ring needed covers the grid.
    const std::int64_t first =
        std::max({std::int64_t{0}, -fx, fx - (columns_ - 1), -fy, fy - (rows_ - 1)});
    const std::int64_t last = std::max({fx, columns_ - 1 - fx, fy, rows_ - 1 - fy});
    for (std::int64_t ring = first; ring <= last; ++ring) {
        scanRing(fx, fy, ring, c, best);
        // Every probe not yet seen lies wholly outside this ring's square, at least
        // ring * cell from c; the margin covers rounding in the measured distances.
        const double reach = static_cast<double>(ring) * cell_;
        if (best.index != kNone && best.distance < reach * reach * (1 - 1e-6)) break;
    }
    return best.index;
}

}  // namespace quarvel::toolpath
