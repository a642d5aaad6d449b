#include "engine/mesh_faces.h"

#include <filesystem>

#include "geom/ordering.h"
#include "io/stl_reader.h"

namespace quarvel::engine {

namespace {
// A triangle whose corners span no more than this in z is level: it gives edges only.
constexpr double kMinHeightRange = 1e-6;

Edge displayEdge(const Vertex3& a, const Vertex3& b) {
    return {{a.x, a.y, -a.z}, {b.x, b.y, -b.z}};
}
}  // namespace

void AddTriangleFaces(TTriangleArray&& faces, MeshDocument& mesh) {
    mesh.Edges.reserve(mesh.Edges.size() + 3 * faces.size());
    // Sloped triangles move down over the level ones in place, keeping file order.
    std::size_t kept = 0;
    for (Triangle& face : faces) {
        Triangle t = face;
        SortCorners(t);
        mesh.Edges.push_back(displayEdge(t.p1, t.p2));
        mesh.Edges.push_back(displayEdge(t.p2, t.p3));
        mesh.Edges.push_back(displayEdge(t.p3, t.p1));
        if (t.p3.z - t.p1.z > kMinHeightRange) faces[kept++] = t;
    }
    faces.resize(kept);
    if (mesh.Triangles.empty()) {
        mesh.Triangles = std::move(faces);
    } else {
        mesh.Triangles.insert(mesh.Triangles.end(), faces.begin(), faces.end());
    }
}

io::MeshLoadOutcome LoadStlMesh(const std::string& fileName, MeshDocument& mesh, Progress& progress,
                                const io::StatusText& showStatus) {
    io::MeshLoadOutcome outcome;
    if (!std::filesystem::exists(fileName)) {
        outcome.fileFound = false;
        return outcome;
    }
    const auto show = [&](const std::string& text) {
        if (showStatus) showStatus(text);
    };
    show(io::LoadingMessage(fileName));
    progress.setPosition(10);
    TTriangleArray faces = io::ReadStlFile(fileName);
    progress.setPosition(5);
    AddTriangleFaces(std::move(faces), mesh);
    outcome.status = RunStatus::Cancelled;
    show("Processing Mesh... Esc to Cancel.");
    progress.setPosition(25);
    if (!progress.pumpAndCheck()) return outcome;
    EdgeExtents(mesh.Edges, mesh.Bounds);
    progress.setPosition(85);
    if (!progress.pumpAndCheck()) return outcome;
    const bool stop = progress.cancelRequested();
    if (!SortByLowestZ(mesh.Triangles, 0, static_cast<std::int64_t>(mesh.Triangles.size()) - 1,
                       stop))
        return outcome;
    mesh.Caption = fileName;
    progress.setPosition(95);
    outcome.status = RunStatus::Completed;
    outcome.message = io::MeshLoadedMessage(fileName, mesh.Triangles.size());
    show(outcome.message);
    progress.setPosition(100);
    return outcome;
}

io::MeshLoadOutcome LoadMeshFile(const std::string& fileName, MeshDocument& mesh,
                                 Progress& progress, const io::StatusText& showStatus) {
    if (io::IsStlFileName(fileName)) return LoadStlMesh(fileName, mesh, progress, showStatus);
    return io::LoadMesh(fileName, mesh, progress, showStatus);
}

}  // namespace quarvel::engine
