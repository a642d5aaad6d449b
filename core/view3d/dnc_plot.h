#pragma once
// The plot of a read DNC file: one polyline from the model origin through every rapid,
// feed and arc move, each piece drawn with the pen of its move. The viewer window and
// `quarvel-cli preview` draw the same points through the same projection.
#include <cstdint>
#include <vector>

#include "gcode/gcode_move.h"
#include "view3d/model_scale.h"
#include "view3d/projection.h"

namespace quarvel::view3d {

enum class PlotPen : std::uint8_t { Rapid, Feed };

// A line from the previous point (or the origin) to `at`, drawn with `pen`.
struct PlotPoint {
    PanelPoint at;
    PlotPen pen = PlotPen::Feed;
    friend bool operator==(const PlotPoint&, const PlotPoint&) = default;
};

struct DncPlot {
    PanelPoint origin;  // the model origin, where the pen starts
    std::vector<PlotPoint> points;
};

// Most pieces one arc is drawn with (a full turn); smaller arcs take fewer, so that no
// chord strays more than half a pixel from the circle.
inline constexpr int kMostArcPieces = 128;

// The panel points of the moves under `scale`. Rapid moves (code 1) use the rapid pen,
// feed moves (code 2) the feed pen; an arc (codes 3, 4) is drawn with the feed pen as
// chords of its circle from its start angle to its end angle, z changing evenly from
// the previous position's z, and ends exactly at its recorded end point. Moves before
// any motion word and feed changes draw nothing and leave the pen where it is.
DncPlot DncPlotPoints(const gcode::DncReadResult& read, const ModelScale& scale);

// How many chords an arc of `radiusPx` pixels turning `sweep` radians is drawn with:
// 1 for a radius of half a pixel or less, at most kMostArcPieces for a full turn.
int ArcPieces(double radiusPx, double sweep);

struct ProjectedPoint {
    ScreenPoint at;
    PlotPen pen = PlotPen::Feed;
};

struct ProjectedPlot {
    ScreenPoint origin;
    std::vector<ProjectedPoint> points;
};

// Every point of `plot` through Project().
ProjectedPlot ProjectPlot(const DncPlot& plot, const Projection& projection);

}  // namespace quarvel::view3d
