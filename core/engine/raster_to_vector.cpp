#include "engine/raster_to_vector.h"

#include <utility>

#include "geom/ordering.h"

namespace quarvel::engine {

RunStatus PrepareRasterToVector(const PixelView24& picture, JobState& job, MeshDocument& mesh,
                                Progress& progress) {
    return PrepareRasterToVector(SampleHeightGrid(picture, JobModeCode::RasterToVector), job, mesh,
                                 progress);
}

RunStatus PrepareRasterToVector(TZGrid heightGrid, JobState& job, MeshDocument& mesh,
                                Progress& progress) {
    job.JobMode = JobModeCode::RasterToVector;
    job.HeightGrid = std::move(heightGrid);
    job.FacetList = BuildFacetList(job.HeightGrid, progress);
    if (progress.cancelRequested()) return RunStatus::Cancelled;
    job.GridColumns = job.HeightGrid.columns;
    job.GridRows = job.HeightGrid.rows;
    FacetExtents(job.FacetList, job.MeshBounds);
    // The facet list's z are grey levels; nothing reads a z extent of it.
    job.MeshBounds.minZ = 0;
    job.MeshBounds.maxZ = 0;
    if (!SortByLowestZ(job.FacetList, 0, static_cast<std::int64_t>(job.FacetList.size()) - 1,
                       progress)) {
        job.FacetList.clear();
        return RunStatus::Cancelled;
    }
    mesh.Caption = kVectorConversionCaption;
    return RunStatus::Completed;
}

}  // namespace quarvel::engine
