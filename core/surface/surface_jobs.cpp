#include "surface/surface_jobs.h"

#include "surface/dxf_surface.h"
#include "surface/gouge.h"
#include "surface/raster_dnc.h"
#include "surface/raster_gcode.h"
#include "surface/tool_mask.h"
#include "text/atomic_file.h"

namespace quarvel::surface {

RunStatus ApplyJobGougeControl(TZGrid& grid, const SurfaceJobValues& job,
                               const GougeSettings& gouge, Progress& gauge) {
    if (!gouge.enabled || !(gouge.diameter > 0.0)) return RunStatus::Completed;
    // Offsets beyond the grid can never reach a cell; leaving them out keeps a huge
    // tool on a small picture from needing a huge mask.
    const MaskClip clip{grid.rows - 1, grid.columns - 1};
    const TToolMask mask =
        BuildToolMask(gouge.kind, gouge.diameter, job.cellX(), job.cellY(), job.depth, clip);
    return ApplyGougeControl(grid, mask, gauge);
}

RunStatus RunDxfSurfaceJob(TZGrid& grid, const SurfaceJobValues& job, const GougeSettings& gouge,
                           const std::string& path, Progress& gauge, JobBar& bar,
                           CutShortFile cutShort) {
    AtomicFile file(path);
    const RunStatus gouged = ApplyJobGougeControl(grid, job, gouge, gauge);
    if (gouged == RunStatus::Cancelled && cutShort == CutShortFile::Discard) {
        file.discard();
        return RunStatus::Cancelled;
    }
    const RunStatus written = WriteDxfSurface(file.stream(), grid, job, bar);
    if (written == RunStatus::Cancelled && cutShort == CutShortFile::Discard) {
        file.discard();
        return RunStatus::Cancelled;
    }
    file.commit();
    return written;
}

RunStatus RunRasterGCodeJob(TZGrid& grid, const SurfaceJobValues& job, const GougeSettings& gouge,
                            const std::string& path, const DncFileHead& head, Progress& gauge,
                            JobBar& bar) {
    AtomicFile file(path);
    ApplyJobGougeControl(grid, job, gouge, gauge);
    WriteDncHead(file.stream(), head.stamp, head.sourceName, job.feed);
    RunStatus status = RunStatus::Completed;
    {
        DncWriter writer(file.stream());
        RapidCompactor compactor(writer);
        status = CreateRasterGCode(grid, job, bar, compactor);
        compactor.finish();
    }
    if (status == RunStatus::Cancelled || gauge.cancelRequested()) {
        file.discard();
        return RunStatus::Cancelled;
    }
    file.commit();
    return RunStatus::Completed;
}

RunStatus SaveRasterDnc(TGCode2Array& moves, const std::string& path, const DncFileHead& head,
                        double feed, Progress& gauge) {
    if (CompactRapids(moves, gauge) == RunStatus::Cancelled) return RunStatus::Cancelled;
    AtomicFile file(path);
    if (WriteRasterDnc(file.stream(), head.stamp, head.sourceName, moves, feed, gauge) ==
        RunStatus::Cancelled) {
        file.discard();
        return RunStatus::Cancelled;
    }
    file.commit();
    return RunStatus::Completed;
}

}  // namespace quarvel::surface
