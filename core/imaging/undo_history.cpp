#include "imaging/undo_history.h"

namespace quarvel::imaging {

void UndoHistory::setCapacity(int steps) {
    capacity_ = steps < 0 ? 0 : steps;
    while (count() > capacity_) steps_.pop_front();
}

void UndoHistory::push(PixelImage before) {
    if (capacity_ == 0) return;
    if (count() == capacity_) steps_.pop_front();
    steps_.push_back(std::move(before));
}

PixelImage UndoHistory::pop() {
    PixelImage last = std::move(steps_.back());
    steps_.pop_back();
    return last;
}

}  // namespace quarvel::imaging
