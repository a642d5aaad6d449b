#include "engine/region.h"

#include <algorithm>
#include <utility>

namespace quarvel::engine {

void NormaliseSegment(TMyEntity& s) {
    // Exact comparisons: this only fixes a canonical order of the two ends.
    const bool swapEnds = s.x1 > s.x2 || (s.x1 == s.x2 && s.y2 < s.y1);
    if (swapEnds) exchangeEnds(s);
}

void ReverseRegion(TRegion& r) { r.segments.reverse(); }

}  // namespace quarvel::engine
