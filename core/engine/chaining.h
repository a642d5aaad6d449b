#pragma once
// Chaining a bag of segments at one height into regions: closed loops where a contour
// closes, open chains where it does not. The bag is cut into chunks of consecutive
// segments (sorted by minX) to bound the end search; pieces that a chunk border cut
// apart are joined afterwards.
#include <cstdint>
#include <span>
#include <vector>

#include "engine/end_index.h"
#include "engine/key_sort.h"
#include "engine/region.h"
#include "progress/progress.h"

namespace quarvel::engine {

struct RegionWorkspace;

// Number of segments per chunk and last chunk index for a list whose last index is
// `lastIndex`: 100 per chunk, or lastIndex div 500 when that would make more than
// 501 chunks.
struct ChunkLayout {
    std::int64_t chunkSize = 100;
    std::int64_t lastChunk = 0;
};
ChunkLayout chunkLayoutFor(std::int64_t lastIndex);

// Chains `segments` (sorted by minX) and appends the regions, each with depth h, after
// the last entry of `regions`. Closed regions have their inside on the right. Empties
// `segments`. Cancelled between chunks: appends nothing. `work` holds the working lists.
void BuildRegions(TMyEntityArray& segments, TRegionArray& regions, double h, Progress& progress,
                  RegionWorkspace& work);
// The same for the segments in `order` (sorted by minX): each chunk is copied out in
// that order and chained there, so `segments` is left as it is.
void BuildRegions(const TMyEntityArray& segments, const std::vector<KeyEntry>& order,
                  TRegionArray& regions, double h, Progress& progress, RegionWorkspace& work);

// Traces the regions of one chunk. Ends are matched within the end tolerance and the
// attached end is set to the exact point it matched, so consecutive segments share
// their vertices exactly.
class ChunkChainer {
public:
    // `chunk` must be sorted by minX and outlive the chainer's use of it.
    explicit ChunkChainer(std::span<TMyEntity> chunk) { reset(chunk); }
    ChunkChainer() = default;
    // Works on another chunk from now on (the working buffers are kept).
    void reset(std::span<TMyEntity> chunk);

    // The chunk list: entry 0 a placeholder, then the chunk's regions in seed order.
    TRegionArray chainAll(double h);
    // Appends the chunk's regions, in seed order, to `out`.
    void chainInto(double h, TRegionArray& out);

    // Grows one region from the seed segment (already marked used) into `region`.
    void TraceRegion(std::size_t seed, TRegion& region);

    // Uses the plain walk from the chunk's first segment instead of the end index
    // (the two give the same result; tests compare them).
    void usePlainWalk(bool plain) { plainWalk_ = plain; }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t findAttachable(Point2 tail, bool backward) const;
    std::size_t plainWalk(Point2 tail, bool backward) const;
    std::size_t backwardWalkEnd(double bound) const;
    static double snapReach(double bound);
    std::size_t forwardWalkEnd(double bound) const;
    void store(TRegion& region, std::size_t i, bool exchanged);
    static bool attachAt(TMyEntity& c, Point2& tail);
    // Forward growth at the region's tail; true when the region closed on its head.
    bool growForward(TRegion& region, Point2 head);
    // Backward growth from the head; never closes.
    void growBackward(TRegion& region, Point2 head);

    std::span<TMyEntity> chunk_;
    std::vector<double> sortedMinX_;  // minX of every segment before any end was snapped
    std::vector<std::uint8_t> free_;  // 1: the segment is not yet in a region
    TMyEntityArray scratch_;          // the region being traced
    EndIndex index_;
    bool plainWalk_ = false;
};

}  // namespace quarvel::engine
