#pragma once
// The two surface jobs from a height grid to a file: gouge control, then the DXF
// surface or the raster G-code. Files are written beside the target and renamed over it
// only when complete.
#include <string>

#include "geom/types.h"
#include "progress/progress.h"
#include "surface/job_bar.h"
#include "surface/job_values.h"
#include "surface/raster_move.h"

namespace quarvel::surface {

// Gouge control for the job's tool, in place, with cells of sizeX / columns by
// sizeY / rows units. Does nothing when gouge control is off or the diameter is not
// above 0 (callers refuse a zero diameter before). Cancelled: see ApplyGougeControl.
RunStatus ApplyJobGougeControl(TZGrid& grid, const SurfaceJobValues& job,
                               const GougeSettings& gouge, Progress& gauge);

// What to do with a DXF file whose faces were cut short by a Cancel press: the dialog
// keeps it (it still ends with a valid trailer); the command line drops it.
enum class CutShortFile { Keep, Discard };

// Gouge control, then the DXF surface into `path`. A stop seen by `gauge` ends gouge
// control early and the faces are still written (Completed) unless `cutShort` is
// Discard, which then drops the file and reports Cancelled. Throws IoError when the
// file cannot be written; the target is never left half written.
RunStatus RunDxfSurfaceJob(TZGrid& grid, const SurfaceJobValues& job, const GougeSettings& gouge,
                           const std::string& path, Progress& gauge, JobBar& bar,
                           CutShortFile cutShort);

struct DncFileHead {
    std::string stamp;       // creation date and time (CreationStamp)
    std::string sourceName;  // the picture's file name
};

// Gouge control, then the raster path, thinned and written to `path` as it is
// generated. Cancelled (a Cancel press on `bar`, or a stop seen by `gauge` at any
// time): no file is written. Throws IoError when the file cannot be written.
RunStatus RunRasterGCodeJob(TZGrid& grid, const SurfaceJobValues& job, const GougeSettings& gouge,
                            const std::string& path, const DncFileHead& head, Progress& gauge,
                            JobBar& bar);

// Thins `moves` and writes them to `path` (for callers that ask for the file name once
// the path is known). Cancelled: no file. Throws IoError.
RunStatus SaveRasterDnc(TGCode2Array& moves, const std::string& path, const DncFileHead& head,
                        double feed, Progress& gauge);

}  // namespace quarvel::surface
