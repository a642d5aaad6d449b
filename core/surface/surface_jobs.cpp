#include "surface/surface_jobs.h"

#include "surface/dxf_surface.h"
#include "surface/gouge.h"
#include "surface/raster_dnc.h"
#include "surface/raster_gcode.h"
#include "surface/tool_mask.h"
#include "text/atomic_file.h"

namespace quarvel::surface {

namespace {

bool runsGougeControl(const GougeSettings& gouge) { return gouge.enabled && gouge.diameter > 0.0; }

void announce(const JobFeedback& feedback, JobStage stage) {
    if (feedback.stageStarted) feedback.stageStarted(stage);
}

RunStatus gougeStage(TZGrid& grid, const SurfaceJobValues& job, const GougeSettings& gouge,
                     const JobFeedback& feedback) {
    if (!runsGougeControl(gouge)) return RunStatus::Completed;
    announce(feedback, JobStage::GougeControl);
    return ApplyJobGougeControl(grid, job, gouge, feedback.gauge);
}

}  // namespace

RunStatus ApplyJobGougeControl(TZGrid& grid, const SurfaceJobValues& job,
                               const GougeSettings& gouge, Progress& gauge) {
    if (!runsGougeControl(gouge)) return RunStatus::Completed;
    // Offsets beyond the grid can never reach a cell; leaving them out keeps a huge
    // tool on a small picture from needing a huge mask.
    const MaskClip clip{grid.rows - 1, grid.columns - 1};
    const TToolMask mask =
        BuildToolMask(gouge.kind, gouge.diameter, job.cellX(), job.cellY(), job.depth, clip);
    return ApplyGougeControl(grid, mask, gauge);
}

RunStatus RunDxfSurfaceJob(TZGrid& grid, const SurfaceJobValues& job, const GougeSettings& gouge,
                           const std::string& path, const JobFeedback& feedback,
                           CutShortFile cutShort) {
    AtomicFile file(path);
    const RunStatus gouged = gougeStage(grid, job, gouge, feedback);
    if (gouged == RunStatus::Cancelled && cutShort == CutShortFile::Discard) {
        file.discard();
        return RunStatus::Cancelled;
    }
    announce(feedback, JobStage::Surface);
    const RunStatus written = WriteDxfSurface(file.stream(), grid, job, feedback.bar);
    if (written == RunStatus::Cancelled && cutShort == CutShortFile::Discard) {
        file.discard();
        return RunStatus::Cancelled;
    }
    file.commit();
    return written;
}

RasterJobEnd RunRasterGCodeJob(TZGrid& grid, const SurfaceJobValues& job,
                               const GougeSettings& gouge, const DncFileHead& head,
                               const JobFeedback& feedback, const ChooseFile& chooseFile) {
    (void)gougeStage(grid, job, gouge, feedback);
    announce(feedback, JobStage::Surface);
    MoveList moves;
    {
        RapidCompactor compactor(moves);
        if (CreateRasterGCode(grid, job, feedback.bar, compactor, feedback.passStarted) ==
            RunStatus::Cancelled)
            return RasterJobEnd::PassesCancelled;
        compactor.finish();
    }
    if (feedback.gauge.cancelRequested()) return RasterJobEnd::Stopped;
    const std::string path = chooseFile ? chooseFile() : std::string();
    if (path.empty()) return RasterJobEnd::NoFileChosen;
    announce(feedback, JobStage::Writing);
    AtomicFile file(path);
    if (WriteRasterDnc(file.stream(), head.stamp, head.sourceName, moves.moves, job.feed,
                       feedback.gauge) == RunStatus::Cancelled) {
        file.discard();
        return RasterJobEnd::WritingCancelled;
    }
    file.commit();
    return RasterJobEnd::Written;
}

}  // namespace quarvel::surface
