#pragma once
// What a mesh window owns: its mesh (outline edges with z negated for display, sorted
// triangles with z as in the file), their extents, and the regions of its runs.
#include <cstdint>
#include <string>

#include "engine/region_list.h"
#include "geom/types.h"

namespace quarvel::engine {

inline constexpr const char* kMeshCaption = "DXF Surface Mesh";
inline constexpr const char* kVectorConversionCaption = "Vector Conversion";

struct MeshDocument {
    std::string Caption = kMeshCaption;  // the DXF file's full path after an import
    TEdgeArray Edges;
    TTriangleArray Triangles;  // corners ascending in z, list ascending in p1.z
    quarvel::MeshBounds Bounds;
    RegionList Regions;
    std::int32_t RegionsBeforeRun = 0;  // number of Regions when the last run began
};

}  // namespace quarvel::engine
