#include "engine/region_list.h"

#include <iterator>

namespace quarvel::engine {

TRegion placeholderRegion() {
    TRegion r;
    r.segments.push_back(TMyEntity{});
    return r;
}

void RegionList::append(TRegionArray&& more) {
    entries_.insert(entries_.end(), std::make_move_iterator(more.begin()),
                    std::make_move_iterator(more.end()));
    more.clear();
}

void RegionList::truncate(std::size_t count) {
    if (count < size()) entries_.resize(count + 1);
}

void RegionList::clear() { entries_.resize(1); }

}  // namespace quarvel::engine
