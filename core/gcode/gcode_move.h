#pragma once
// The records a DNC (G-code) file is read into, in file order, and what the reader
// learns about the file besides them.
#include <cstdint>
#include <vector>

#include "geom/types.h"
#include "progress/progress.h"

namespace quarvel::gcode {

inline constexpr std::int32_t kBeforeMotionCode = 0;         // a move seen before any motion word
inline constexpr std::int32_t kRapidCode = 1;                // G0
inline constexpr std::int32_t kFeedCode = 2;                 // G1
inline constexpr std::int32_t kClockwiseArcCode = 3;         // G2
inline constexpr std::int32_t kCounterClockwiseArcCode = 4;  // G3
inline constexpr std::int32_t kFeedChangeCode = 8;           // an F word

inline bool isArcCode(std::int32_t code) {
    return code == kClockwiseArcCode || code == kCounterClockwiseArcCode;
}

// One recognised word group. x, y, z are the modal position after the line (feed
// change records leave them 0); i, j are the arc centre offsets from the start point.
struct GCodeMove {
    std::int32_t code = kBeforeMotionCode;
    std::int32_t lineNo = 0;  // 1-based
    double feed = 0.0;        // the feed rate in force
    double x = 0.0, y = 0.0, z = 0.0;
    float i = 0.0f, j = 0.0f;
    friend bool operator==(const GCodeMove&, const GCodeMove&) = default;
};
using TGCodeArray = std::vector<GCodeMove>;

// The circle of one arc record in the XY plane, for drawing. Angles are radians about
// the centre: startAngle in [0, 2*pi); endAngle below it for a clockwise arc and above it
// for a counter-clockwise one, so the sweep is endAngle - startAngle (a full turn when
// the arc ends where it starts).
struct GCodeArc {
    std::size_t move = 0;  // index of the arc's record in the move list
    double centreX = 0.0, centreY = 0.0, radius = 0.0;
    double startAngle = 0.0, endAngle = 0.0;
};

// How many numbers of lines not understood are kept (the count goes on).
inline constexpr std::size_t kListedLinesNotUnderstood = 100;

struct DncReadResult {
    RunStatus status = RunStatus::Completed;
    TGCodeArray moves;
    std::vector<GCodeArc> arcs;  // one per arc record, in file order
    MeshBounds bounds;           // always includes the origin; arcs by their full circle
    std::int64_t lineCount = 0;
    // Lines holding something the plot leaves out: a word or character the reader does
    // not know, a number that does not convert, a repeated word or a G code that changes
    // the meaning of coordinates (G91, G92, canned cycles...). The first line numbers,
    // in order, and the total.
    std::vector<std::int64_t> linesNotUnderstood;
    std::int64_t notUnderstoodCount = 0;
};

}  // namespace quarvel::gcode
