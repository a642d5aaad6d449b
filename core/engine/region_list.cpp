#include "engine/region_list.h"

#include <iterator>

namespace quarvel::engine {

TRegion placeholderRegion() {
    TRegion r;
    r.segments.push_back(TMyEntity{});
    return r;
}

void RegionList::append(TRegionArray&& more) {
    if (entries_.size() == 1 && more.capacity() > more.size()) {
        // The first run of a window takes over the run's list (the placeholder goes in
        // front, in room the list has): a copy of a large run's records would hold two
        // lists of them at once.
        TRegion placeholder = std::move(entries_.front());
        entries_ = std::move(more);
        entries_.insert(entries_.begin(), std::move(placeholder));
    } else {
        entries_.insert(entries_.end(), std::make_move_iterator(more.begin()),
                        std::make_move_iterator(more.end()));
    }
    more.clear();
}

void RegionList::truncate(std::size_t count) {
    if (count < size()) entries_.resize(count + 1);
}

void RegionList::clear() { entries_.resize(1); }

}  // namespace quarvel::engine
