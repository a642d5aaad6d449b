#pragma once
// Counts and path lengths of a read DNC file, for `quarvel-cli dnc-info`.
#include <cstdint>

#include "gcode/gcode_move.h"

namespace quarvel::gcode {

struct DncSummary {
    std::int64_t rapidMoves = 0;
    std::int64_t feedMoves = 0;
    std::int64_t clockwiseArcs = 0;
    std::int64_t counterClockwiseArcs = 0;
    std::int64_t feedChanges = 0;
    std::int64_t movesBeforeMotion = 0;  // code 0: they move the position, not the tool path
    double rapidLength = 0.0;
    double feedLength = 0.0;  // straight feed moves plus arcs
};

// Walks the moves from the origin. A straight move is as long as the segment from the
// previous position; an arc (helical when z changes) as radius * |sweep| combined with
// its z change. Moves before any motion word change the position but add no length.
DncSummary SummariseDnc(const DncReadResult& read);

}  // namespace quarvel::gcode
