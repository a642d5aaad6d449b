#pragma once
// Import Mesh: reads a DXF file of 3DFACE entities, or an STL file, into a mesh window's
// document, with the status texts and gauge steps the import shows on the way.
#include <functional>
#include <string>

#include "engine/mesh_document.h"
#include "progress/progress.h"

namespace quarvel::engine {

// Shows a status-bar text (panel 0) while the mesh is read.
using StatusText = std::function<void(const std::string&)>;

struct MeshLoadOutcome {
    bool fileFound = true;  // false: no such file; nothing was read or shown
    RunStatus status = RunStatus::Completed;
    std::string message;  // the final panel 0 text, empty when cancelled
};

// Reads `fileName` into `mesh`: its Edges and Triangles become the file's (a name ending
// in ".stl", any case, is read by io::ReadStlFile, any other by io::ReadMeshFaces), Triangles
// sorted by lowest corner, Bounds over the edges, Caption := fileName. A file that does not exist
// is not read and nothing is shown (fileFound false). Throws IoError when the file exists but
// cannot be read, and FormatError (file, line) for a group code or coordinate that is not a finite
// number (or an STL file that is cut short), and Error naming the file when the mesh's extents or
// spans are not finite (corners near the largest double). Cancelled (checked after reading and
// after the extents): the mesh is incomplete and the caller discards it.
MeshLoadOutcome LoadMesh(const std::string& fileName, MeshDocument& mesh, Progress& progress,
                         const StatusText& showStatus = {});

std::string LoadingMessage(const std::string& fileName);
std::string MeshLoadedMessage(const std::string& fileName, std::size_t facets);

}  // namespace quarvel::engine
