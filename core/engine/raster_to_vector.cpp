#include "engine/raster_to_vector.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "engine/level_pool.h"
#include "geom/ordering.h"

namespace quarvel::engine {

namespace {

// Below this many facets a part of the sort is not shared out further.
constexpr std::int64_t kSmallestSortPart = 1 << 16;

// BuildFacetList with bands of rows on `threads` threads: counted, then written each
// at its place, so the list is the same. False when stopped.
bool buildTogether(const TZGrid& grid, PictureFacetList& list, std::size_t threads,
                   Progress& progress) {
    list = FacetListFor(grid);
    if (list.columns == 0) return true;
    const int squareRows = grid.rows - 1;
    const std::size_t bands = std::min<std::size_t>(threads * 4, squareRows);
    std::vector<int> firstRow(bands + 1);
    for (std::size_t b = 0; b <= bands; ++b)
        firstRow[b] = static_cast<int>(static_cast<std::size_t>(squareRows) * b / bands);
    std::vector<std::size_t> offset(bands + 1, 0);
    const auto none = [](std::size_t) {};
    if (!RunInOrder(
            bands, threads, progress,
            [&](std::size_t b, std::size_t, Progress&) {
                offset[b + 1] = SlopedTriangleCount(grid, firstRow[b], firstRow[b + 1]);
            },
            none))
        return false;
    for (std::size_t b = 0; b < bands; ++b) offset[b + 1] += offset[b];
    list.facets.resize(offset[bands]);
    std::vector<FacetSquares> squares(bands);
    if (!RunInOrder(
            bands, threads, progress,
            [&](std::size_t b, std::size_t, Progress&) {
                BuildFacetRows(grid, firstRow[b], firstRow[b + 1], list.facets.data() + offset[b],
                               squares[b]);
            },
            none))
        return false;
    for (const FacetSquares& s : squares) list.squares.widen(s);
    return true;
}

// SortByLowestZ with its parts shared out among `threads` threads. False when stopped.
bool sortTogether(PictureFacetList& list, std::size_t threads, Progress& progress) {
    const auto last = static_cast<std::int64_t>(list.size()) - 1;
    const std::vector<FacetRange> parts = SplitFacetSort(list, 0, last, kSmallestSortPart);
    return RunInOrder(
        parts.size(), threads, progress,
        [&](std::size_t k, std::size_t, Progress& workerProgress) {
            SortByLowestZ(list, parts[k].low, parts[k].high, workerProgress);
        },
        [](std::size_t) {});
}

}  // namespace

RunStatus PrepareRasterToVector(const PixelView24& picture, JobState& job, MeshDocument& mesh,
                                Progress& progress, std::int32_t threads) {
    return PrepareRasterToVector(SampleHeightGrid(picture, JobModeCode::RasterToVector), job, mesh,
                                 progress, threads);
}

RunStatus PrepareRasterToVector(TZGrid heightGrid, JobState& job, MeshDocument& mesh,
                                Progress& progress, std::int32_t threads) {
    job.JobMode = JobModeCode::RasterToVector;
    job.HeightGrid = std::move(heightGrid);
    const std::size_t workers = ResolveThreadCount(threads);
    if (workers > 1) {
        if (!buildTogether(job.HeightGrid, job.FacetList, workers, progress)) job.FacetList.clear();
    } else {
        job.FacetList = BuildFacetList(job.HeightGrid, progress);
    }
    if (progress.cancelRequested()) {
        job.FacetList.clear();
        return RunStatus::Cancelled;
    }
    job.GridColumns = job.HeightGrid.columns;
    job.GridRows = job.HeightGrid.rows;
    FacetExtents(job.FacetList, job.MeshBounds);
    // The facet list's z are grey levels; nothing reads a z extent of it.
    job.MeshBounds.minZ = 0;
    job.MeshBounds.maxZ = 0;
    const bool sorted =
        workers > 1 ? sortTogether(job.FacetList, workers, progress)
                    : SortByLowestZ(job.FacetList, 0,
                                    static_cast<std::int64_t>(job.FacetList.size()) - 1, progress);
    if (!sorted || progress.cancelRequested()) {
        job.FacetList.clear();
        return RunStatus::Cancelled;
    }
    mesh.Caption = kVectorConversionCaption;
    return RunStatus::Completed;
}

}  // namespace quarvel::engine
