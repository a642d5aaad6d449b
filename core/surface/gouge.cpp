#include "surface/gouge.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/portability.h"

namespace quarvel::surface {

namespace {

constexpr std::uint8_t kOutside = 255;
// Above this many bytes of cached row results the rows are recomputed instead.
constexpr std::size_t kCacheLimitBytes = std::size_t{48} << 20;

// acc[c] = max(acc[c], src[c] - m), where the difference stops at 0. Levels below 0
// never matter: every cell keeps at least its own level, which is 0 or more.
QUARVEL_AVX2_CLONES void maxOfShifted(std::uint8_t* acc, const std::uint8_t* src, std::uint8_t m,
                                      std::size_t n) {
    for (std::size_t c = 0; c < n; ++c) {
        const std::uint8_t s = src[c];
        const auto t = static_cast<std::uint8_t>((s > m ? s : m) - m);
        acc[c] = acc[c] > t ? acc[c] : t;
    }
}

// The same for four entries at once: one pass over `acc` instead of four.
QUARVEL_AVX2_CLONES void maxOfShifted4(std::uint8_t* acc, const std::uint8_t* const src[4],
                                       const std::uint8_t m[4], std::size_t n) {
    const std::uint8_t *s0 = src[0], *s1 = src[1], *s2 = src[2], *s3 = src[3];
    const std::uint8_t m0 = m[0], m1 = m[1], m2 = m[2], m3 = m[3];
    for (std::size_t c = 0; c < n; ++c) {
        const auto t0 = static_cast<std::uint8_t>((s0[c] > m0 ? s0[c] : m0) - m0);
        const auto t1 = static_cast<std::uint8_t>((s1[c] > m1 ? s1[c] : m1) - m1);
        const auto t2 = static_cast<std::uint8_t>((s2[c] > m2 ? s2[c] : m2) - m2);
        const auto t3 = static_cast<std::uint8_t>((s3[c] > m3 ? s3[c] : m3) - m3);
        const std::uint8_t a = t0 > t1 ? t0 : t1;
        const std::uint8_t b = t2 > t3 ? t2 : t3;
        const std::uint8_t t = a > b ? a : b;
        acc[c] = acc[c] > t ? acc[c] : t;
    }
}

QUARVEL_AVX2_CLONES void maxInto(std::uint8_t* acc, const std::uint8_t* src, std::size_t n) {
    for (std::size_t c = 0; c < n; ++c) acc[c] = acc[c] > src[c] ? acc[c] : src[c];
}

struct MaskEntry {
    int column;
    std::uint8_t height;
};

// The distinct rows of the mask that can raise anything (a ball mask's rows come in
// equal pairs above and below the axis), and which profile each mask row uses.
struct Profiles {
    std::vector<std::vector<MaskEntry>> entries;
    std::vector<int> ofMaskRow;  // -1: the row raises nothing
};

Profiles distinctProfiles(const TToolMask& mask) {
    Profiles p;
    p.ofMaskRow.assign(static_cast<std::size_t>(mask.rows), -1);
    std::vector<int> firstRowOf;
    for (int i = 0; i < mask.rows; ++i) {
        const std::uint8_t* row = mask.cells.data() + static_cast<std::size_t>(i) * mask.columns;
        if (std::all_of(row, row + mask.columns, [](std::uint8_t m) { return m == kOutside; }))
            continue;
        for (std::size_t k = 0; k < firstRowOf.size(); ++k) {
            const std::uint8_t* other =
                mask.cells.data() + static_cast<std::size_t>(firstRowOf[k]) * mask.columns;
            if (std::memcmp(row, other, static_cast<std::size_t>(mask.columns)) == 0) {
                p.ofMaskRow[static_cast<std::size_t>(i)] = static_cast<int>(k);
                break;
            }
        }
        if (p.ofMaskRow[static_cast<std::size_t>(i)] >= 0) continue;
        std::vector<MaskEntry> list;
        for (int j = 0; j < mask.columns; ++j)
            if (row[j] != kOutside) list.push_back({j, row[j]});
        p.ofMaskRow[static_cast<std::size_t>(i)] = static_cast<int>(p.entries.size());
        p.entries.push_back(std::move(list));
        firstRowOf.push_back(i);
    }
    return p;
}

// The grid before the pass, each row widened by zeros so that every footprint column
// can be read without a bounds test (a zero never raises anything).
class PaddedSnapshot {
public:
    PaddedSnapshot(const TZGrid& grid, const TToolMask& mask)
        : columns_(grid.columns),
          left_(mask.centreColumn),
          width_(static_cast<std::size_t>(grid.columns) + mask.columns - 1),
          bytes_(width_ * grid.rows, 0) {
        for (int r = 0; r < grid.rows; ++r)
            std::memcpy(bytes_.data() + r * width_ + left_, grid.row(r),
                        static_cast<std::size_t>(columns_));
    }
    // Points at the footprint column 0 of grid column 0 in row r.
    const std::uint8_t* footprintStart(int r) const { return bytes_.data() + r * width_; }
    const std::uint8_t* row(int r) const { return footprintStart(r) + left_; }

private:
    int columns_;
    int left_;
    std::size_t width_;
    std::vector<std::uint8_t> bytes_;
};

// max over the profile's entries of S[r'][c - centreColumn + j] - m, for every c.
void profileRow(const PaddedSnapshot& s, const std::vector<MaskEntry>& profile, int gridRow,
                std::uint8_t* out, std::size_t columns) {
    std::memset(out, 0, columns);
    const std::uint8_t* start = s.footprintStart(gridRow);
    std::size_t k = 0;
    for (; k + 4 <= profile.size(); k += 4) {
        const std::uint8_t* const src[4] = {
            start + profile[k].column, start + profile[k + 1].column, start + profile[k + 2].column,
            start + profile[k + 3].column};
        const std::uint8_t m[4] = {profile[k].height, profile[k + 1].height, profile[k + 2].height,
                                   profile[k + 3].height};
        maxOfShifted4(out, src, m, columns);
    }
    for (; k < profile.size(); ++k)
        maxOfShifted(out, start + profile[k].column, profile[k].height, columns);
}

// Row results of every profile for the grid rows the mask currently covers, kept in a
// ring so that each is computed once, not once per mask row that shares the profile.
class ProfileCache {
public:
    ProfileCache(const PaddedSnapshot& s, const Profiles& p, int maskRows, std::size_t columns)
        : s_(s),
          p_(p),
          slots_(static_cast<std::size_t>(maskRows)),
          columns_(columns),
          rowOfSlot_(slots_, -1),
          bytes_(slots_ * p.entries.size() * columns) {}

    const std::uint8_t* get(int profile, int gridRow) {
        const std::size_t slot = static_cast<std::size_t>(gridRow) % slots_;
        std::uint8_t* base = bytes_.data() + slot * p_.entries.size() * columns_;
        if (rowOfSlot_[slot] != gridRow) {
            for (std::size_t k = 0; k < p_.entries.size(); ++k)
                profileRow(s_, p_.entries[k], gridRow, base + k * columns_, columns_);
            rowOfSlot_[slot] = gridRow;
        }
        return base + static_cast<std::size_t>(profile) * columns_;
    }

private:
    const PaddedSnapshot& s_;
    const Profiles& p_;
    std::size_t slots_;
    std::size_t columns_;
    std::vector<int> rowOfSlot_;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace

RunStatus ApplyGougeControl(TZGrid& grid, const TToolMask& mask, Progress& progress) {
    if (grid.empty() || mask.rows == 0 || mask.columns == 0) return RunStatus::Completed;
    const PaddedSnapshot snapshot(grid, mask);
    const Profiles profiles = distinctProfiles(mask);
    const auto columns = static_cast<std::size_t>(grid.columns);
    const bool useCache =
        static_cast<std::size_t>(mask.rows) * profiles.entries.size() * columns <= kCacheLimitBytes;
    ProfileCache cache(snapshot, profiles, useCache ? mask.rows : 0, useCache ? columns : 0);
    std::vector<std::uint8_t> scratch(columns);

    LoopProgress loop(progress, grid.rows - 1);
    for (int r = 0; r < grid.rows; ++r) {
        if (!loop.step(r)) return RunStatus::Cancelled;
        std::uint8_t* out = grid.row(r);
        std::memcpy(out, snapshot.row(r), columns);
        for (int i = 0; i < mask.rows; ++i) {
            const int source = r - mask.centreRow + i;
            const int profile = profiles.ofMaskRow[static_cast<std::size_t>(i)];
            if (source < 0 || source >= grid.rows || profile < 0) continue;
            if (useCache) {
                maxInto(out, cache.get(profile, source), columns);
            } else {
                profileRow(snapshot, profiles.entries[static_cast<std::size_t>(profile)], source,
                           scratch.data(), columns);
                maxInto(out, scratch.data(), columns);
            }
        }
    }
    return RunStatus::Completed;
}

}  // namespace quarvel::surface
