#include "engine/mesh_loading.h"

#include <cmath>
#include <filesystem>

#include "geom/ordering.h"
#include "io/dxf_mesh_reader.h"
#include "io/stl_reader.h"
#include "text/error.h"

namespace quarvel::engine {

namespace {

io::MeshFaces readFaces(const std::string& fileName) {
    if (io::IsStlFileName(fileName)) return io::FacesFromTriangles(io::ReadStlFile(fileName));
    const io::FileBytes text = io::ReadWholeFile(fileName);
    return io::ReadMeshFaces(text.view(), fileName);
}

// Every later step subtracts and scales coordinates; a mesh whose width, depth or height
// is not a finite number would give tool paths of "nan" and "inf".
void requireFiniteExtents(const MeshBounds& b, const std::string& fileName) {
    for (const double v :
         {b.minX, b.maxX, b.minY, b.maxY, b.minZ, b.maxZ, b.spanX, b.spanY, b.maxZ - b.minZ}) {
        if (!std::isfinite(v))
            throw Error(fileName +
                        ": the mesh is too large: its extents do not fit in a finite number");
    }
}

}  // namespace

std::string LoadingMessage(const std::string& fileName) {
    return "Loading " + fileName + "... Esc to Cancel.";
}

std::string MeshLoadedMessage(const std::string& fileName, std::size_t facets) {
    return fileName + " Succesfully loaded... " + std::to_string(facets) +
           " Facets displayed. Use mouse to change view.";
}

MeshLoadOutcome LoadMesh(const std::string& fileName, MeshDocument& mesh, Progress& progress,
                         const StatusText& showStatus) {
    if (!std::filesystem::exists(fileName)) {
        MeshLoadOutcome missing;
        missing.fileFound = false;
        return missing;
    }
    const auto show = [&](const std::string& text) {
        if (showStatus) showStatus(text);
    };
    show(LoadingMessage(fileName));
    progress.setPosition(10);
    io::MeshFaces faces = readFaces(fileName);
    progress.setPosition(5);
    mesh.Edges = std::move(faces.edges);
    mesh.Triangles = std::move(faces.triangles);
    MeshLoadOutcome outcome;
    outcome.status = RunStatus::Cancelled;
    show("Processing Mesh... Esc to Cancel.");
    progress.setPosition(25);
    if (!progress.pumpAndCheck()) return outcome;
    EdgeExtents(mesh.Edges, mesh.Bounds);
    requireFiniteExtents(mesh.Bounds, fileName);
    progress.setPosition(85);
    if (!progress.pumpAndCheck()) return outcome;
    const bool sorted = SortByLowestZ(
        mesh.Triangles, 0, static_cast<std::int64_t>(mesh.Triangles.size()) - 1, progress);
    if (!sorted) return outcome;
    mesh.Caption = fileName;
    progress.setPosition(95);
    outcome.status = RunStatus::Completed;
    outcome.message = MeshLoadedMessage(fileName, mesh.Triangles.size());
    show(outcome.message);
    progress.setPosition(100);
    return outcome;
}

}  // namespace quarvel::engine
