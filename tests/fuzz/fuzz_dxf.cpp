// Fuzz target: the DXF mesh reader on arbitrary bytes. Besides not crashing, what it keeps
// must hold together: finite corners in ascending z, at most two triangles and at least
// three edges a face, and a plain FormatError for text it cannot read.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "io/dxf_mesh_reader.h"
#include "text/error.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

bool isFinite(const quarvel::Vertex3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

void checkFaces(const quarvel::io::MeshFaces& faces) {
    for (const quarvel::Triangle& t : faces.triangles) {
        require(isFinite(t.p1) && isFinite(t.p2) && isFinite(t.p3));
        require(t.p1.z <= t.p2.z && t.p2.z <= t.p3.z);
    }
    for (const quarvel::Edge& e : faces.edges) require(isFinite(e.a) && isFinite(e.b));
    // Every kept triangle comes from a face, and every face gives three edges or more.
    require(faces.triangles.size() <= 2 * (faces.edges.size() / 3));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        checkFaces(quarvel::io::ReadMeshFaces(text, "fuzz.dxf"));
    } catch (const quarvel::FormatError&) {
        // Refusing malformed text is the expected answer.
    }
    return 0;
}
