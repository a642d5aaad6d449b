#include "engine/region.h"

#include <algorithm>
#include <utility>

namespace quarvel::engine {

void SetSegmentBox(TMyEntity& s) {
    if (s.x1 < s.x2) {
        s.minX = s.x1;
        s.maxX = s.x2;
    } else {
        s.minX = s.x2;
        s.maxX = s.x1;
    }
    if (s.y1 < s.y2) {
        s.minY = s.y1;
        s.maxY = s.y2;
    } else {
        s.minY = s.y2;
        s.maxY = s.y1;
    }
}

void NormaliseSegment(TMyEntity& s) {
    // Exact comparisons: this only fixes a canonical order of the two ends.
    const bool swapEnds = s.x1 > s.x2 || (s.x1 == s.x2 && s.y2 < s.y1);
    if (swapEnds) exchangeEnds(s);
    SetSegmentBox(s);
}

TMyEntity makeSegment(double x1, double y1, double x2, double y2) {
    TMyEntity s;
    s.x1 = x1;
    s.y1 = y1;
    s.x2 = x2;
    s.y2 = y2;
    SetSegmentBox(s);
    return s;
}

void setFirstEnd(TMyEntity& s, Point2 p) {
    s.x1 = p.x;
    s.y1 = p.y;
    SetSegmentBox(s);
}

void setSecondEnd(TMyEntity& s, Point2 p) {
    s.x2 = p.x;
    s.y2 = p.y;
    SetSegmentBox(s);
}

void exchangeEnds(TMyEntity& s) {
    std::swap(s.x1, s.x2);
    std::swap(s.y1, s.y2);
}

void ReverseRegion(TRegion& r) {
    std::reverse(r.segments.begin(), r.segments.end());
    for (TMyEntity& s : r.segments) exchangeEnds(s);
}

void widenRegionBox(TRegion& r, const TMyEntity& s) {
    if (s.minX < r.minX) r.minX = s.minX;
    if (s.minY < r.minY) r.minY = s.minY;
    if (s.maxY > r.maxY) r.maxY = s.maxY;
    if (s.maxX > r.maxX) r.maxX = s.maxX;
}

void uniteRegionBox(TRegion& a, const TRegion& b) {
    if (b.minX < a.minX) a.minX = b.minX;
    if (b.minY < a.minY) a.minY = b.minY;
    if (b.maxY > a.maxY) a.maxY = b.maxY;
    if (b.maxX > a.maxX) a.maxX = b.maxX;
}

TRegion placeholderRegion() {
    TRegion r;
    r.segments.resize(1);
    return r;
}

TRegionArray newRegionList() {
    TRegionArray list;
    list.push_back(placeholderRegion());
    return list;
}

}  // namespace quarvel::engine
