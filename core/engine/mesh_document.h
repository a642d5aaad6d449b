#pragma once
// What a mesh window owns: its mesh (outline edges with z negated for display, sorted
// triangles with z as in the file), their extents, and the regions of its runs.
#include <cstdint>
#include <string>

#include "engine/region.h"
#include "geom/types.h"

namespace quarvel::engine {

inline constexpr const char* kMeshCaption = "DXF Surface Mesh";
inline constexpr const char* kVectorConversionCaption = "Vector Conversion";

struct MeshDocument {
    std::string Caption = kMeshCaption;  // the DXF file's full path after an import
    TEdgeArray Edges;
    TTriangleArray Triangles;  // corners ascending in z, list ascending in p1.z
    quarvel::MeshBounds Bounds;
    TRegionArray Regions = newRegionList();  // entry 0 is the placeholder
    std::int32_t RegionsBeforeRun = 0;       // entries of Regions when the last run began

    // Number of regions, the placeholder not counted.
    std::size_t regionCount() const { return Regions.empty() ? 0 : Regions.size() - 1; }
};

}  // namespace quarvel::engine
