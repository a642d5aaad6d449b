#include "engine/chaining.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/joining.h"
#include "engine/orientation.h"
#include "engine/region_sort.h"
#include "engine/region_workspace.h"
#include "platform/portability.h"

namespace quarvel::engine {

ChunkLayout chunkLayoutFor(std::int64_t lastIndex) {
    ChunkLayout layout;
    // Real division truncated toward zero, as the chunk arithmetic is defined.
    layout.lastChunk =
        static_cast<std::int64_t>(std::trunc(static_cast<double>(lastIndex) / 100.0));
    if (layout.lastChunk > 500) {
        layout.chunkSize = lastIndex / 500;
        layout.lastChunk = static_cast<std::int64_t>(
            std::trunc(static_cast<double>(lastIndex) / static_cast<double>(layout.chunkSize)));
    }
    return layout;
}

namespace {

// The first and end place of chunk k of `total` items.
std::pair<std::size_t, std::size_t> chunkBounds(std::size_t total, std::int64_t k,
                                                std::int64_t size) {
    const auto count = static_cast<std::int64_t>(total);
    const std::int64_t begin = std::min(k * size, count);
    const std::int64_t end = std::min(begin + size, count);
    return {static_cast<std::size_t>(begin), static_cast<std::size_t>(end)};
}

bool isLoneZeroSegment(std::span<const TMyEntity> chunk) {
    // Exact test: such a chunk is the empty marker of the segment list.
    return chunk.size() == 1 && chunk[0].x1 == 0.0 && chunk[0].y1 == 0.0 && chunk[0].x2 == 0.0;
}

// Chains `count` segments chunk by chunk, chunkAt(k, size) giving chunk k, and appends
// the regions. Cancelled between chunks: appends nothing.
template <class ChunkAt>
void buildFromChunks(std::size_t count, const ChunkAt& chunkAt, TRegionArray& regions, double h,
                     Progress& progress, RegionWorkspace& work) {
    const ChunkLayout layout = chunkLayoutFor(static_cast<std::int64_t>(count) - 1);
    // The chunks are chained where they lie, each chunk's regions appended straight to
    // the flattened list (the concatenation of the chunk lists, in chunk order).
    TRegionArray flat;
    ChunkChainer& chainer = work.chainer;  // its working lists are kept through the run
    LoopProgress loop(progress, layout.lastChunk);
    for (std::int64_t k = 0; k <= layout.lastChunk; ++k) {
        if (!loop.step(k)) return;
        const std::span<TMyEntity> chunk = chunkAt(k, layout.chunkSize);
        if (progress.cancelRequested() || isLoneZeroSegment(chunk)) continue;
        chainer.reset(chunk);
        chainer.chainInto(h, flat);
    }
    for (TRegion& r : flat) r.mark = 1;
    SortRegionsByMinX(flat, 0, static_cast<std::int64_t>(flat.size()) - 1, progress);
    JoinOpenRegions(flat, progress, work.join);
    for (TRegion& r : flat) regions.push_back(std::move(r));
}

}  // namespace

void BuildRegions(TMyEntityArray& segments, TRegionArray& regions, double h, Progress& progress,
                  RegionWorkspace& work) {
    const auto chunkAt = [&segments](std::int64_t k, std::int64_t size) {
        const auto [begin, end] = chunkBounds(segments.size(), k, size);
        return std::span<TMyEntity>(segments).subspan(begin, end - begin);
    };
    buildFromChunks(segments.size(), chunkAt, regions, h, progress, work);
    segments.clear();  // emptied; its room stays with the caller for the next level
}

void BuildRegions(const TMyEntityArray& segments, const std::vector<KeyEntry>& order,
                  TRegionArray& regions, double h, Progress& progress, RegionWorkspace& work) {
    TMyEntityArray& chunk = work.chunk;
    const auto chunkAt = [&](std::int64_t k, std::int64_t size) {
        const auto [begin, end] = chunkBounds(order.size(), k, size);
        chunk.clear();
        for (std::size_t j = begin; j < end; ++j) {
            // The reads jump about the list: ask for those a little ahead.
            if (j + kOrderReadAhead < order.size())
                platform::prefetch(&segments[order[j + kOrderReadAhead].position]);
            chunk.push_back(segments[order[j].position]);
        }
        return std::span<TMyEntity>(chunk);
    };
    buildFromChunks(order.size(), chunkAt, regions, h, progress, work);
}

void ChunkChainer::reset(std::span<TMyEntity> chunk) {
    chunk_ = chunk;
    sortedMinX_.clear();
    for (const TMyEntity& s : chunk) sortedMinX_.push_back(segmentMinX(s));
    // The index relies on the sort; anything else (never produced by the engine from
    // finite coordinates) is chained with the plain walk.
    plainWalk_ =
        !std::is_sorted(sortedMinX_.begin(), sortedMinX_.end()) ||
        std::any_of(sortedMinX_.begin(), sortedMinX_.end(), [](double v) { return std::isnan(v); });
    index_.reset(chunk.size() * 2);
    for (std::size_t i = 0; i < chunk.size(); ++i) {
        index_.add(firstEnd(chunk[i]), static_cast<std::uint32_t>(i), 0);
        index_.add(secondEnd(chunk[i]), static_cast<std::uint32_t>(i), 1);
    }
    index_.seal();
}

TRegionArray ChunkChainer::chainAll(double h) {
    TRegionArray list;
    list.reserve(chunk_.size() + 1);
    list.emplace_back();  // entry 0: the placeholder
    chainInto(h, list);
    return list;
}

void ChunkChainer::chainInto(double h, TRegionArray& out) {
    free_.assign(chunk_.size(), 1);
    for (std::size_t i = 0; i < chunk_.size(); ++i) {
        if (free_[i] != 1) continue;
        free_[i] = 0;
        TRegion& region = out.emplace_back();
        TraceRegion(i, region);
        region.depth = h;
    }
}

void ChunkChainer::store(TRegion& region, std::size_t i, bool exchanged) {
    const TMyEntity& c = chunk_[i];
    free_[i] = 0;
    TMyEntity copy = c;
    if (exchanged) exchangeEnds(copy);
    scratch_.push_back(copy);
    widenRegionBox(region, c);
}

// Attaches segment c at `tail`: the matched end is set to tail exactly and tail moves to
// c's other end. Returns true when c was matched by its first end.
bool ChunkChainer::attachAt(TMyEntity& c, Point2& tail) {
    const bool matchesFirst = samePoint(firstEnd(c), tail);
    if (matchesFirst) {
        setFirstEnd(c, tail);
        tail = secondEnd(c);
    } else {
        setSecondEnd(c, tail);
        tail = firstEnd(c);
    }
    return matchesFirst;
}

bool ChunkChainer::growForward(TRegion& region, Point2 head) {
    Point2 tail = secondEnd(scratch_.front());
    while (true) {
        const std::size_t i = findAttachable(tail, false);
        if (i == kNone) return false;
        TMyEntity& c = chunk_[i];
        const bool matchesFirst = attachAt(c, tail);
        const bool closing = samePoint(head, tail);
        if (closing) {
            // The loop closes: its last end becomes the head exactly.
            if (matchesFirst)
                setSecondEnd(c, head);
            else
                setFirstEnd(c, head);
        }
        store(region, i, !matchesFirst);  // stored pointing along the travel
        if (closing) return true;
    }
}

void ChunkChainer::growBackward(TRegion& region, Point2 head) {
    Point2 tail = head;
    while (true) {
        const std::size_t i = findAttachable(tail, true);
        if (i == kNone) return;
        TMyEntity& c = chunk_[i];
        store(region, i, attachAt(c, tail));  // stored pointing towards the seed
    }
}

void ChunkChainer::TraceRegion(std::size_t seed, TRegion& region) {
    const TMyEntity& first = chunk_[seed];
    free_[seed] = 0;
    setRegionBox(region, first);
    const Point2 head = firstEnd(first);
    // Grown in the reused working list, then copied at its final size: most regions of
    // a chunk are short pieces, and a list per region sized for the worst case would
    // scatter them over far more memory than they fill.
    scratch_.clear();
    scratch_.push_back(first);
    const bool closed = growForward(region, head);
    if (!closed) {
        const std::size_t forwardCount = scratch_.size();
        growBackward(region, head);
        // Far end of the backward growth first, then the seed and the forward tail.
        const auto split = scratch_.begin() + static_cast<std::ptrdiff_t>(forwardCount);
        std::reverse(split, scratch_.end());
        std::rotate(scratch_.begin(), split, scratch_.end());
    }
    region.segments = SegmentChain(scratch_);
    region.open = closed ? 0 : 1;
    if (closed) OrientRegion(region);
}

std::size_t ChunkChainer::forwardWalkEnd(double bound) const {
    // Free segments keep their sorted minX, and the forward walk ends at the first free
    // segment beyond the bound; used segments before it are skipped anyway.
    return static_cast<std::size_t>(
        std::upper_bound(sortedMinX_.begin(), sortedMinX_.end(), bound) - sortedMinX_.begin());
}

// Snapping moves a segment's ends, and so its minX, by less than the end tolerance; this
// reach also covers rounding in the comparisons.
double ChunkChainer::snapReach(double bound) {
    return 4 * kEndTolerance + std::fabs(bound) * 1e-15;
}

std::size_t ChunkChainer::backwardWalkEnd(double bound) const {
    // The backward walk ends at the first segment, used or not, whose current minX lies
    // beyond the bound. Snapping moved used segments' ends by less than the tolerance,
    // so only segments whose sorted minX is within a few tolerances of the bound can
    // differ from the sorted order.
    const std::size_t sortedEnd = forwardWalkEnd(bound);
    const double reach = snapReach(bound);
    const auto low = static_cast<std::size_t>(
        std::upper_bound(sortedMinX_.begin(), sortedMinX_.end(), bound - reach) -
        sortedMinX_.begin());
    for (std::size_t i = low; i < sortedEnd; ++i) {
        if (segmentMinX(chunk_[i]) > bound) return i;
    }
    std::size_t i = sortedEnd;
    while (i < chunk_.size() && free_[i] != 1 && !(segmentMinX(chunk_[i]) > bound)) ++i;
    return i;
}

std::size_t ChunkChainer::findAttachable(Point2 tail, bool backward) const {
    if (plainWalk_) return plainWalk(tail, backward);
    const double bound = tail.x + kEndTolerance;
    const double low = tail.x - kEndTolerance;
    // The forward walk ends at the first free segment whose minX lies beyond the bound;
    // free segments keep their sorted minX, so a segment lies before that end exactly
    // when its sorted minX is within the bound (no search needed). The backward walk
    // also ends at used segments, whose minX snapping may have moved.
    // Segments whose sorted minX lies a snap's reach below the bound come before the
    // backward walk's end in any case; only for the others is the end worked out.
    const double surelyBefore = bound - snapReach(bound);
    std::size_t walkEnd = kNone;
    std::size_t best = kNone;
    index_.forNear(tail, [&](std::uint32_t item, std::uint8_t which) {
        if (item >= best || !(sortedMinX_[item] <= bound)) return;
        const TMyEntity& c = chunk_[item];
        if (free_[item] != 1 || !(segmentMaxX(c) > low)) return;
        if (!samePoint(which == 0 ? firstEnd(c) : secondEnd(c), tail)) return;
        if (backward && !(sortedMinX_[item] <= surelyBefore)) {
            if (walkEnd == kNone) walkEnd = backwardWalkEnd(bound);
            if (item >= walkEnd) return;
        }
        best = item;
    });
    return best;
}

std::size_t ChunkChainer::plainWalk(Point2 tail, bool backward) const {
    const double bound = tail.x + kEndTolerance;
    const double low = tail.x - kEndTolerance;
    for (std::size_t i = 0; i < chunk_.size(); ++i) {
        const TMyEntity& c = chunk_[i];
        if (free_[i] != 1 && !backward) continue;
        if (segmentMinX(c) > bound) return kNone;
        if (free_[i] != 1 || !(segmentMaxX(c) > low)) continue;
        if (samePoint(firstEnd(c), tail) || samePoint(secondEnd(c), tail)) return i;
    }
    return kNone;
}

}  // namespace quarvel::engine
