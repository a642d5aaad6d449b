#pragma once
// Reading a faceted surface from the 3DFACE entities of a DXF file into a mesh window's
// outline edges (z negated, the orientation the view draws), sorted triangles (z as in
// the file) and extents.
#include <functional>
#include <string>
#include <string_view>

#include "engine/mesh_document.h"
#include "progress/progress.h"

namespace quarvel::io {

// Shows a status-bar text (panel 0) while the mesh is read.
using StatusText = std::function<void(const std::string&)>;

struct MeshLoadOutcome {
    bool fileFound = true;  // false: no such file; nothing was read or shown
    RunStatus status = RunStatus::Completed;
    std::string message;  // the final panel 0 text, empty when cancelled
};

// Reads `fileName` into `mesh` (Edges, Triangles sorted by lowest corner, Bounds over
// the edges, Caption := fileName). The file is read as group-code / value line pairs
// (lines end in CR LF, LF or CR; a character 26 ends the file). A code 0 with the value
// "3DFACE" (exactly) starts a face, which ends at the next code 0 or 9; codes 10..33
// give its corners, other codes are skipped with their value; code 0 with "EOF" ends
// reading. A corner value a face does not give keeps the previous face's value (0 for
// the first face). A file that does not exist is not read and nothing is shown
// (fileFound false). Throws IoError when the file exists but cannot be read, and
// FormatError (file, line) for a group code or coordinate that is not a finite number.
// Cancelled (checked after reading and after the extents): the mesh is incomplete and
// the caller discards it.
MeshLoadOutcome LoadMesh(const std::string& fileName, engine::MeshDocument& mesh,
                         Progress& progress, const StatusText& showStatus = {});

// Reads faces from DXF text held in memory (same rules); `fileName` names it in errors.
void ReadMeshFaces(std::string_view text, const std::string& fileName, engine::MeshDocument& mesh);

std::string LoadingMessage(const std::string& fileName);
std::string MeshLoadedMessage(const std::string& fileName, std::size_t facets);

}  // namespace quarvel::io
