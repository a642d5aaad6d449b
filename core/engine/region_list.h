#pragma once
// A mesh window's regions. The stored layout keeps a placeholder at entry 0 that is
// never drawn or written; iteration, size and indexing here see the regions only, so
// that no loop or count has to step over it.
#include <cstddef>
#include <utility>

#include "engine/region.h"

namespace quarvel::engine {

// Entry 0 of the stored layout: a region with a segment list of one element.
TRegion placeholderRegion();

class RegionList {
public:
    using iterator = TRegionArray::iterator;
    using const_iterator = TRegionArray::const_iterator;

    // The placeholder alone: no regions.
    RegionList() : entries_{placeholderRegion()} {}

    std::size_t size() const { return entries_.size() - 1; }
    bool empty() const { return entries_.size() == 1; }
    // Region i, counted from 0.
    TRegion& operator[](std::size_t i) { return entries_[i + 1]; }
    const TRegion& operator[](std::size_t i) const { return entries_[i + 1]; }
    iterator begin() { return entries_.begin() + 1; }
    iterator end() { return entries_.end(); }
    const_iterator begin() const { return entries_.begin() + 1; }
    const_iterator end() const { return entries_.end(); }

    void push_back(TRegion region) { entries_.push_back(std::move(region)); }
    // Appends the regions of `more`, in order, moving them.
    void append(TRegionArray&& more);
    // Keeps the first `count` regions; nothing changes when there are no more than that.
    void truncate(std::size_t count);
    // Removes every region.
    void clear();

    // The stored layout, placeholder at entry 0 and the regions from entry 1: what the
    // writers and the cutting order index into.
    const TRegionArray& withPlaceholder() const { return entries_; }

private:
    TRegionArray entries_;
};

}  // namespace quarvel::engine
