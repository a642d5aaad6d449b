#pragma once
// Building a mesh window's document from triangular faces read from a file, under the
// same rules as the DXF import: outline edges in file order, sloped triangles only,
// extents over the edges, triangles sorted by their lowest corner.
#include <string>

#include "engine/mesh_document.h"
#include "io/dxf_mesh_reader.h"
#include "progress/progress.h"

namespace quarvel::engine {

// Appends every face: its corners sorted into ascending z, kept as a triangle only when
// p3.z - p1.z > 1e-6, and its three edges (p1,p2), (p2,p3), (p3,p1) of the sorted corners
// with z negated. `faces` is taken over as the triangle store.
void AddTriangleFaces(TTriangleArray&& faces, MeshDocument& mesh);

// Import of an STL file into `mesh`, with the DXF import's status texts and cancel checks
// (after reading and after the extents; a cancelled mesh is incomplete and the caller
// discards it). A file that does not exist is not read (fileFound false). Throws IoError
// and FormatError as io::ReadStlFaces does, before anything is added to `mesh`.
io::MeshLoadOutcome LoadStlMesh(const std::string& fileName, MeshDocument& mesh, Progress& progress,
                                const io::StatusText& showStatus = {});

// LoadStlMesh for names ending in ".stl" (any case), the DXF import otherwise.
io::MeshLoadOutcome LoadMeshFile(const std::string& fileName, MeshDocument& mesh,
                                 Progress& progress, const io::StatusText& showStatus = {});

}  // namespace quarvel::engine
