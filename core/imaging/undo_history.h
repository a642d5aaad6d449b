#pragma once
// The undo steps of one picture: whole-picture snapshots, newest last, at most
// `capacity` of them (the oldest is dropped when a new one would exceed it).
#include <deque>

#include "imaging/pixel_image.h"

namespace quarvel::imaging {

class UndoHistory {
public:
    explicit UndoHistory(int capacity = 10) : capacity_(capacity < 0 ? 0 : capacity) {}

    int capacity() const { return capacity_; }
    // Drops the oldest steps when the history is longer than the new capacity.
    void setCapacity(int steps);
    int count() const { return static_cast<int>(steps_.size()); }
    void push(PixelImage before);
    // The newest step, removed from the history. Call only when count() > 0.
    PixelImage pop();
    void clear() { steps_.clear(); }

private:
    int capacity_;
    std::deque<PixelImage> steps_;
};

}  // namespace quarvel::imaging
