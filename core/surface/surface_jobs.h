#pragma once
// The two surface jobs from a height grid to a file: gouge control, then the DXF
// surface or the raster G-code. The program's dialog and the command line both run them.
// Files are written beside the target and renamed over it only when complete.
#include <functional>
#include <string>

#include "geom/types.h"
#include "machine/program_frame.h"
#include "progress/progress.h"
#include "surface/job_values.h"
#include "surface/raster_move.h"

namespace quarvel::surface {

// Gouge control for the job's tool, in place, with cells of sizeX / columns by
// sizeY / rows units. Does nothing when gouge control is off or the diameter is not
// above 0 (callers refuse a zero diameter before). Cancelled: see ApplyGougeControl.
RunStatus ApplyJobGougeControl(TZGrid& grid, const SurfaceJobValues& job,
                               const GougeSettings& gouge, Progress& gauge);

enum class JobStage {
    GougeControl,  // only when gouge control runs
    Surface,       // the faces or the raster passes
    Writing,       // the raster moves go to the chosen file
};

// Where a job reports. `gauge` serves gouge control and the writing of the raster file
// (the status-bar gauge and Escape); `bar` serves the rows of faces or passes (the
// dialog's own bar and its Cancel button). The callbacks may be empty.
struct JobFeedback {
    Progress& gauge;
    Progress& bar;
    std::function<void(JobStage)> stageStarted;
    std::function<void(int pass)> passStarted;  // 1, 2, ... as each raster layer begins
};

// What to do with a DXF file whose faces were cut short: the dialog keeps it (it still
// ends with a valid trailer); the command line drops it.
enum class CutShortFile { Keep, Discard };

// Gouge control, then the DXF surface into `path`. A stop seen by the gauge ends gouge
// control early and the faces are still written (Completed) unless `cutShort` is
// Discard, which then drops the file and reports Cancelled. A stop seen by the bar ends
// the faces: Keep commits them with the trailer and reports Cancelled, Discard drops
// the file. Throws IoError when the file cannot be written; the target is never left
// half written.
RunStatus RunDxfSurfaceJob(TZGrid& grid, const SurfaceJobValues& job, const GougeSettings& gouge,
                           const std::string& path, const JobFeedback& feedback,
                           CutShortFile cutShort);

struct DncFileHead {
    std::string stamp;       // creation date and time (CreationStamp)
    std::string sourceName;  // the picture's file name
};

// Names the file once the moves are known; an empty name writes nothing.
using ChooseFile = std::function<std::string()>;

// How a raster job ended. Only Written has a file.
enum class RasterJobEnd {
    Written,
    PassesCancelled,  // a stop seen by the bar during the passes
    Stopped,          // a stop seen by the gauge before the file was chosen
    NoFileChosen,     // chooseFile answered with an empty name
    WritingCancelled  // a stop seen by the gauge while writing; the file is dropped
};

// Gouge control (a stop seen by the gauge ends it early and the passes still run), then
// the raster passes, thinned as they come (first and last rapid of each run at one Z)
// and held as G-code text, then `chooseFile`, then the file (gauge: one check, then
// the counted-loop rule over twenty parts). The moves are computed before the file is named, so
// a caller may ask the user only then. The file is written for `machine`; its run-time
// estimate, from the moves held, goes into the head when the profile writes comments.
// Throws IoError when the file cannot be written.
RasterJobEnd RunRasterGCodeJob(TZGrid& grid, const SurfaceJobValues& job,
                               const GougeSettings& gouge, const DncFileHead& head,
                               const JobFeedback& feedback, const ChooseFile& chooseFile,
                               const machine::MachineJob& machine = {});

// The same job for a file named before it starts (the command line). The text goes
// straight into a temporary file beside `path` while the passes make it, so it is never
// held whole; the file is renamed over `path` when complete, and every other end
// removes it and leaves `path` as it was. When the head needs the run-time estimate of
// the whole program (a profile that writes comments), the text is held as above first.
// Ends as RunRasterGCodeJob with `path` chosen (NoFileChosen for an empty path); the
// gauge is checked once after the passes in place of the writing parts. Throws IoError
// when the file cannot be written.
RasterJobEnd RunRasterGCodeJobInto(TZGrid& grid, const SurfaceJobValues& job,
                                   const GougeSettings& gouge, const DncFileHead& head,
                                   const JobFeedback& feedback, const std::string& path,
                                   const machine::MachineJob& machine = {});

}  // namespace quarvel::surface
