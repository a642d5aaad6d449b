#pragma once
// The first half of Raster to Vector: from a picture to the facet list that the Create
// Regions run slices, and the Vector Conversion window that shows the result. The
// picture window and the command line both start the road here.
#include <cstdint>

#include "engine/mesh_document.h"
#include "progress/progress.h"
#include "raster/sampling.h"
#include "state/job_state.h"

namespace quarvel::engine {

// Sets JobMode to Raster to Vector, samples `picture` into the job's HeightGrid, builds
// its FacetList (GridColumns and GridRows from the grid), sets MeshBounds to the facet
// list's x and y extents with minZ and maxZ 0, sorts the list by lowest corner and
// captions `mesh` "Vector Conversion". Everything is rebuilt from the picture on every
// call. A picture of one level, or one pixel wide or high, gives an empty facet list
// and still completes.
// Cancelled (while the facet list is built or sorted): FacetList is emptied, since a
// partly built or sorted list would slice wrongly; the grid, the extents and the mesh
// are left as they are then. `threads` build and sort the list (0: one per processor,
// as ResolveThreadCount); the list is the same for any number.
RunStatus PrepareRasterToVector(const PixelView24& picture, JobState& job, MeshDocument& mesh,
                                Progress& progress, std::int32_t threads = 0);
// The same from a height grid already sampled (SampleHeightGrid's grid for Raster to
// Vector), which becomes the job's HeightGrid.
RunStatus PrepareRasterToVector(TZGrid heightGrid, JobState& job, MeshDocument& mesh,
                                Progress& progress, std::int32_t threads = 0);

}  // namespace quarvel::engine
