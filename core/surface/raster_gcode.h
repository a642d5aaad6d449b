#pragma once
// The layered raster tool path of a relief: passes of at most one depth step each, rows
// cut left to right and right to left in turn, following the surface inside the current
// layer, staying on the layer's floor below it and lifting to the rapid height over
// areas that earlier layers finished.
#include <functional>

#include "geom/types.h"
#include "progress/progress.h"
#include "surface/job_values.h"
#include "surface/raster_move.h"

namespace quarvel::surface {

// Generates the moves for `grid` (columns and rows as in `job`) into `sink`, starting
// with rapid moves to (0, 0) and (0, sizeY) at the rapid height. Level v lies at
// z = -depth + depth * v / 255 (white 0). The tool never travels through material:
// each pass and the program begin and end at the rapid height, and the tool rises
// before it moves onto a row whose first sample lies higher. A last row without a
// partner row is cut forward. Needs depthPerPass > 0 and nx >= 0.
// `bar` moves by the row-bar rule (RowBarStep) in each pass; `passStarted`, when set,
// hears 1, 2, ... as each layer begins.
// Cancelled by a stop seen by `bar` (checked about ten times per pass): the sink has
// received part of the path.
RunStatus CreateRasterGCode(const TZGrid& grid, const SurfaceJobValues& job, Progress& bar,
                            MoveSink& sink, const std::function<void(int)>& passStarted = {});

}  // namespace quarvel::surface
