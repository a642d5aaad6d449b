// An STL file becomes the same mesh-window document as the DXF of the same faces: edges
// in file order with z negated, sloped triangles only, sorted, extents over the edges.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <random>

#include "engine/mesh_loading.h"
#include "stl_test_files.h"
#include "support/scripted_progress.h"
#include "text/error.h"

namespace quarvel::engine {
namespace {

using test::asciiFacet;

// Faces as decimal text, so that the DXF and the ASCII STL name the very same numbers.
using FaceText = std::array<std::string, 9>;
const std::vector<FaceText> kFaceTexts = {
    {"0.1000", "0.2000", "0.7000", "1.3000", "0.2000", "0.3000", "0.1000", "1.9000", "0.5000"},
    {"1.3000", "0.2000", "0.3000", "1.3000", "1.9000", "0.3000", "0.1000", "1.9000", "0.3000"},
    {"2.0000", "0.0000", "-0.2500", "3.0000", "0.0000", "1.1000", "2.0000", "1.0000", "0.0000"},
};

std::string dxfOf(const std::vector<FaceText>& faces) {
    std::string text = "0\r\nSECTION\r\n2\r\nENTITIES\r\n";
    for (const FaceText& f : faces) {
        text += "0\r\n3DFACE\r\n";
        const int codes[] = {10, 20, 30, 11, 21, 31, 12, 22, 32, 13, 23, 33};
        for (int i = 0; i < 12; ++i)
            text += std::to_string(codes[i]) + "\r\n" +
                    f[static_cast<std::size_t>(i < 9 ? i : i - 3)] + "\r\n";
    }
    return text + "0\r\nENDSEC\r\n0\r\nEOF\r\n";
}

std::string stlOf(const std::vector<FaceText>& faces) {
    std::string text = "solid mesh\n";
    for (const FaceText& f : faces)
        text += asciiFacet(f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8]);
    return text + "endsolid mesh\n";
}

MeshDocument load(const std::string& path) {
    MeshDocument mesh;
    test::ScriptedProgress progress;
    const engine::MeshLoadOutcome outcome = LoadMesh(path, mesh, progress);
    EXPECT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(outcome.message, engine::MeshLoadedMessage(path, mesh.Triangles.size()));
    EXPECT_EQ(mesh.Caption, path);
    return mesh;
}

TEST(LoadStlMesh, SameDocumentAsTheDxfOfTheSameFaces) {
    const MeshDocument fromDxf = load(test::writeTestFile("same.dxf", dxfOf(kFaceTexts)));
    const MeshDocument fromStl = load(test::writeTestFile("same.stl", stlOf(kFaceTexts)));
    EXPECT_EQ(fromStl.Triangles.size(), 2u);  // the second face is level
    EXPECT_EQ(fromStl.Edges, fromDxf.Edges);
    EXPECT_EQ(fromStl.Triangles, fromDxf.Triangles);
    EXPECT_EQ(fromStl.Bounds, fromDxf.Bounds);
    // Sorted by lowest corner, corners ascending, edges with z negated.
    EXPECT_EQ(fromStl.Triangles[0].p1.z, -0.25);
    EXPECT_EQ(fromStl.Edges[0].a.z, -0.3);
    EXPECT_EQ(fromStl.Bounds.minZ, -1.1);
    EXPECT_EQ(fromStl.Bounds.maxX, 3.0);
}

TEST(LoadStlMesh, BinaryAndAsciiGiveIdenticalDocuments) {
    std::vector<Triangle> faces;
    std::mt19937 rng{1234};
    std::uniform_int_distribution<int> quarter(-400, 400);
    for (int i = 0; i < 200; ++i) {
        auto v = [&] {
            return Vertex3{quarter(rng) / 4.0, quarter(rng) / 4.0, quarter(rng) / 8.0};
        };
        faces.push_back({v(), v(), v()});
    }
    faces[7].p2.z = faces[7].p1.z;  // a level one among them
    faces[7].p3.z = faces[7].p1.z;
    const MeshDocument binary =
        load(test::writeTestFile("b.stl", test::binaryStl(faces, "solid b")));
    const MeshDocument ascii = load(test::writeTestFile("a.stl", test::asciiStl(faces)));
    EXPECT_EQ(binary.Edges, ascii.Edges);
    EXPECT_EQ(binary.Triangles, ascii.Triangles);
    EXPECT_EQ(binary.Bounds, ascii.Bounds);
    EXPECT_EQ(binary.Edges.size(), 600u);
    EXPECT_EQ(binary.Triangles.size(), 199u);
    for (std::size_t i = 1; i < binary.Triangles.size(); ++i)
        EXPECT_LE(binary.Triangles[i - 1].p1.z, binary.Triangles[i].p1.z);
}

TEST(LoadStlMesh, MissingFileIsNotRead) {
    MeshDocument mesh;
    test::ScriptedProgress progress;
    EXPECT_FALSE(LoadMesh("/nonexistent/part.stl", mesh, progress).fileFound);
    EXPECT_TRUE(progress.positions.empty());
}

TEST(LoadStlMesh, BadFileLeavesTheDocumentEmpty) {
    std::string bytes = test::binaryStl({{{0, 0, 0}, {1, 0, 1}, {0, 1, 2}}});
    bytes.pop_back();
    const std::string path = test::writeTestFile("short.stl", bytes);
    MeshDocument mesh;
    test::ScriptedProgress progress;
    EXPECT_THROW(LoadMesh(path, mesh, progress), FormatError);
    EXPECT_TRUE(mesh.Edges.empty());
    EXPECT_TRUE(mesh.Triangles.empty());
}

TEST(LoadStlMesh, CancelAtEitherCheckStopsBeforeTheCaption) {
    const std::string path = test::writeTestFile("c.stl", stlOf(kFaceTexts));
    for (const int report : {1, 2}) {
        MeshDocument mesh;
        test::ScriptedProgress progress(report);
        EXPECT_EQ(LoadMesh(path, mesh, progress).status, RunStatus::Cancelled);
        EXPECT_EQ(mesh.Caption, kMeshCaption);
        EXPECT_EQ(progress.pumps, report);
    }
}

}  // namespace
}  // namespace quarvel::engine

namespace quarvel::engine {
namespace {

std::string runCli(const std::string& arguments, int& exitCode) {
    const std::string command = std::string(QUARVEL_CLI_PATH) + " " + arguments + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[512];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    const int status = pipe ? pclose(pipe) : -1;
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

TEST(MeshInfoCommand, ReadsStlFilesAndRefusesBrokenOnes) {
    const std::string good = test::writeTestFile("cli.stl", stlOf(kFaceTexts));
    int exitCode = -1;
    const std::string info = runCli("mesh-info " + good, exitCode);
    EXPECT_EQ(exitCode, 0);
    EXPECT_NE(info.find("facets: 2\n"), std::string::npos) << info;
    EXPECT_NE(info.find("edges: 9\n"), std::string::npos) << info;
    std::string text = stlOf(kFaceTexts);
    const std::string bad = test::writeTestFile("cli_cut.stl", text.substr(0, text.size() / 2));
    const std::string refused = runCli("mesh-info " + bad, exitCode);
    EXPECT_NE(exitCode, 0);
    EXPECT_NE(refused.find("error: " + bad + ":"), std::string::npos) << refused;
    EXPECT_EQ(refused.find("facets:"), std::string::npos);
}

}  // namespace
}  // namespace quarvel::engine
