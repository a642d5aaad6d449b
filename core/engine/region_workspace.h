#pragma once
// The working lists of one region run. A Topography run chains level after level; these
// lists keep their room from one level to the next, so they are allocated about once per
// run and freed with it. Each run owns its own, and each worker of a run spread over
// several threads: a run started while another one is letting events through cannot
// disturb it, nor can one worker another.
#include "engine/chaining.h"
#include "engine/joining.h"
#include "engine/region_sort.h"

namespace quarvel::engine {

struct RegionWorkspace {
    ChunkChainer chainer;
    SortWorkspace sort;
    JoinWorkspace join;
    TMyEntityArray chunk;  // one chunk of a level's segments, copied out in minX order
};

}  // namespace quarvel::engine
