#pragma once
// Regions as a DXF drawing (release AC1009): one 3D POLYLINE per region at the
// region's depth, in list order. Lines end in CR LF; coordinates with four decimals.
#include <ostream>
#include <string>

#include "engine/region.h"
#include "progress/progress.h"

namespace quarvel::toolpath {

// Writes regions 1..last (entry 0 is the placeholder); regions without segments are
// skipped. Vertices: the first segment's first end, then every segment's second end,
// each at z = depth as stored. Throws NonFiniteOutput at a number that is not finite.
// Each megabyte of text pumps events and tests the stop flag; Cancelled leaves the text
// cut short.
RunStatus WritePolylineDxf(std::ostream& out, const engine::TRegionArray& regions,
                           Progress& progress = NoProgress());

// Writes the file through a temporary file renamed when complete. Throws IoError or
// NonFiniteOutput; the target is untouched then, as it is when the user stops.
RunStatus SavePolylineDxf(const std::string& path, const engine::TRegionArray& regions,
                          Progress& progress = NoProgress());

}  // namespace quarvel::toolpath
