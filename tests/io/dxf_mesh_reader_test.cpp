#include "io/dxf_mesh_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <fstream>
#include <string>
#include <vector>

#include "support/scripted_progress.h"
#include "text/error.h"

namespace quarvel::io {
namespace {

using Lines = std::vector<std::string>;

std::string joined(const Lines& lines, const std::string& eol = "\r\n") {
    std::string text;
    for (const std::string& line : lines) text += line + eol;
    return text;
}

// One face as the program's own surface writer gives it: 0/3DFACE and twelve values.
Lines face(std::array<std::array<double, 3>, 4> c, const Lines& extra = {}) {
    Lines out = {"0", "3DFACE"};
    out.insert(out.end(), extra.begin(), extra.end());
    for (int k = 0; k < 4; ++k) {
        for (int axis = 0; axis < 3; ++axis) {
            out.push_back(std::to_string(10 * (axis + 1) + k));
            out.push_back(
                std::to_string(c[static_cast<std::size_t>(k)][static_cast<std::size_t>(axis)]));
        }
    }
    return out;
}

Lines concat(std::initializer_list<Lines> parts) {
    Lines out;
    for (const Lines& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

const Lines kHead = {"0", "SECTION", "2", "ENTITIES"};
const Lines kTail = {"0", "ENDSEC", "0", "EOF"};
const std::array<std::array<double, 3>, 4> kTriangle = {
    {{0, 0, 0}, {1, 0, 1}, {0, 1, 2}, {0, 1, 2}}};
const std::array<std::array<double, 3>, 4> kQuad = {{{0, 0, 0}, {1, 0, 1}, {1, 1, 2}, {0, 1, 1}}};

engine::MeshDocument read(const std::string& text) {
    engine::MeshDocument mesh;
    ReadMeshFaces(text, "mesh.dxf", mesh);
    return mesh;
}

struct FaceCase {
    const char* name;
    std::string text;
    std::size_t triangles;
    std::size_t edges;
};

class MeshFaces : public ::testing::TestWithParam<FaceCase> {};

TEST_P(MeshFaces, GivesTrianglesAndEdges) {
    const engine::MeshDocument mesh = read(GetParam().text);
    EXPECT_EQ(mesh.Triangles.size(), GetParam().triangles);
    EXPECT_EQ(mesh.Edges.size(), GetParam().edges);
}

const std::array<std::array<double, 3>, 4> kHalfLevel = {
    {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 5}}};

INSTANTIATE_TEST_SUITE_P(
    Files, MeshFaces,
    ::testing::Values(
        FaceCase{"Triangle", joined(concat({kHead, face(kTriangle), kTail})), 1, 3},
        FaceCase{"Quadrilateral", joined(concat({kHead, face(kQuad), kTail})), 2, 5},
        FaceCase{"QuadWithLevelHalf", joined(concat({kHead, face(kHalfLevel), kTail})), 1, 5},
        FaceCase{"LeadingBlankIgnored",
                 joined(concat({kHead, {"0", " 3DFACE"}, face(kQuad), kTail})), 2, 5},
        FaceCase{"LowerCaseIgnored",
                 joined(concat({kHead, {"0", "3dface", "10", "5"}, face(kQuad), kTail})), 2, 5},
        FaceCase{"TextAfterEofNeverRead", joined(concat({kHead, face(kQuad), kTail, face(kQuad)})),
                 2, 5},
        FaceCase{"NoEofReadToTheEnd", joined(concat({kHead, face(kQuad), face(kTriangle)})), 3, 8},
        FaceCase{"LineFeedOnly", joined(concat({kHead, face(kQuad), kTail}), "\n"), 2, 5},
        FaceCase{"CarriageReturnOnly", joined(concat({kHead, face(kQuad), kTail}), "\r"), 2, 5},
        FaceCase{"CharacterTwentySixEndsFile",
                 joined(concat({kHead, face(kQuad)})) + "\x1a" + joined(face(kTriangle)), 2, 5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadMeshFaces, LayerGroupNoLongerShiftsTheReading) {
    // Code 8 with the layer name "0" used to be taken for the end of the face.
    const engine::MeshDocument mesh =
        read(joined(concat({kHead, face(kQuad, {"8", "0", "62", "7"}), kTail})));
    ASSERT_EQ(mesh.Triangles.size(), 2u);
    EXPECT_EQ(mesh.Triangles[0].p3.z, 2.0);
    EXPECT_EQ(mesh.Triangles[1].p3.x, 1.0);
}

TEST(ReadMeshFaces, QuadSplitsAlongDiagonalFromFirstToThirdCorner) {
    const engine::MeshDocument mesh = read(joined(concat({kHead, face(kQuad), kTail})));
    // Triangle B is (c1, c3, c4); its extra edges are (c3, c4) and (c4, c1), z negated.
    EXPECT_EQ(mesh.Triangles[1], (Triangle{{0, 0, 0}, {0, 1, 1}, {1, 1, 2}}));
    EXPECT_EQ(mesh.Edges[3], (Edge{{1, 1, -2}, {0, 1, -1}}));
    EXPECT_EQ(mesh.Edges[4], (Edge{{0, 1, -1}, {0, 0, -0.0}}));
    // Edges of A follow its sorted corners.
    EXPECT_EQ(mesh.Edges[0], (Edge{{0, 0, -0.0}, {1, 0, -1}}));
}

TEST(ReadMeshFaces, MissingCoordinateKeepsPreviousFaceValueAndFirstTakesZero) {
    const Lines first = {"0",  "3DFACE", "10", "1", "20", "1", "11", "2", "21", "1", "31", "3",
                         "12", "2",      "22", "2", "32", "3", "13", "2", "23", "2", "33", "3"};
    const Lines second = {"0", "3DFACE", "30", "7"};
    const engine::MeshDocument mesh = read(joined(concat({kHead, first, second, kTail})));
    ASSERT_EQ(mesh.Triangles.size(), 2u);
    EXPECT_EQ(mesh.Triangles[0].p1, (Vertex3{1, 1, 0}));
    EXPECT_EQ(mesh.Triangles[1].p3, (Vertex3{1, 1, 7}));
}

TEST(ReadMeshFaces, BadNumberNamesFileAndLine) {
    const Lines bad = {"0", "3DFACE", "10", "1,5"};
    try {
        read(joined(concat({kHead, bad})));
        FAIL() << "no error";
    } catch (const FormatError& e) {
        EXPECT_EQ(e.file(), "mesh.dxf");
        EXPECT_EQ(e.line(), 8);
    }
    EXPECT_THROW(read(joined(concat({kHead, {"0", "3DFACE", "x1", "0"}}))), FormatError);
    EXPECT_THROW(read(joined(concat({kHead, {"0", "3DFACE", "10", "nan"}}))), FormatError);
}

class LoadMeshFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ =
            std::filesystem::temp_directory_path() /
            ("quarvel_mesh_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string write(const std::string& text) {
        const std::string path = (dir_ / "mesh.dxf").string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    std::filesystem::path dir_;
};

TEST_F(LoadMeshFile, SortsTrianglesSetsBoundsAndReportsKeptFacets) {
    const std::array<std::array<double, 3>, 4> high = {
        {{2, 2, 5}, {3, 2, 6}, {3, 3, 7}, {3, 3, 7}}};
    const std::array<std::array<double, 3>, 4> level = {
        {{0, 0, 9}, {1, 0, 9}, {1, 1, 9}, {1, 1, 9}}};
    const std::string path =
        write(joined(concat({kHead, face(high), face(kQuad), face(level), kTail})));
    engine::MeshDocument mesh;
    quarvel::test::ScriptedProgress progress;
    std::vector<std::string> shown;
    const MeshLoadOutcome outcome =
        LoadMesh(path, mesh, progress, [&](const std::string& s) { shown.push_back(s); });
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    ASSERT_EQ(mesh.Triangles.size(), 3u);
    EXPECT_EQ(mesh.Triangles[2].p1.z, 5.0);
    EXPECT_EQ(mesh.Bounds, (MeshBounds{0, 3, 0, 3, -9, 0, 3, 3}));
    EXPECT_EQ(mesh.Caption, path);
    EXPECT_EQ(outcome.message,
              path + " Succesfully loaded... 3 Facets displayed. Use mouse to change view.");
    EXPECT_EQ(shown.front(), "Loading " + path + "... Esc to Cancel.");
    EXPECT_EQ(progress.positions, (std::vector<int>{10, 5, 25, 85, 95, 100}));
}

TEST_F(LoadMeshFile, CancelSeenAfterReadingStopsTheImport) {
    const std::string path = write(joined(concat({kHead, face(kQuad), kTail})));
    engine::MeshDocument mesh;
    quarvel::test::ScriptedProgress progress(1);
    EXPECT_EQ(LoadMesh(path, mesh, progress).status, RunStatus::Cancelled);
}

// A stop asked for while the triangles are sorted ends the import there: the sort polls
// the sink every PartitionPoll::kEvery partitions, so a large mesh is not sorted to the
// end first. Pumps 1 and 2 come before the sort, 3 at its first partition.
TEST_F(LoadMeshFile, CancelDuringTheTriangleSortStopsTheImport) {
    std::mt19937 rng{1234};
    std::uniform_int_distribution<int> level(0, 1000);
    Lines lines = kHead;
    constexpr int kFaces = 20000;
    for (int i = 0; i < kFaces; ++i) {
        const double z = level(rng);
        // Sloped: flat faces are not kept.
        const Lines one = face(
            {{{0, double(i), z}, {1, double(i), z + 1}, {0, i + 1.0, z + 2}, {0, i + 1.0, z + 2}}});
        lines.insert(lines.end(), one.begin(), one.end());
    }
    lines.insert(lines.end(), kTail.begin(), kTail.end());
    const std::string path = write(joined(lines));

    engine::MeshDocument finished;
    quarvel::test::ScriptedProgress quiet;
    ASSERT_EQ(LoadMesh(path, finished, quiet).status, RunStatus::Completed);
    ASSERT_EQ(finished.Triangles.size(), std::size_t{kFaces});
    ASSERT_GT(quiet.pumps, 4);  // the sort itself pumped more than once

    engine::MeshDocument mesh;
    quarvel::test::ScriptedProgress progress(4);
    EXPECT_EQ(LoadMesh(path, mesh, progress).status, RunStatus::Cancelled);
    EXPECT_EQ(progress.pumps, 4);
    EXPECT_NE(mesh.Caption, path);
    // Cut short, not lost: the same triangles, still out of order.
    ASSERT_EQ(mesh.Triangles.size(), std::size_t{kFaces});
    const auto byLowestZ = [](const Triangle& a, const Triangle& b) { return a.p1.z < b.p1.z; };
    EXPECT_FALSE(std::is_sorted(mesh.Triangles.begin(), mesh.Triangles.end(), byLowestZ));
    std::vector<double> rows, sortedRows;
    for (const Triangle& t : mesh.Triangles) rows.push_back(t.p1.y);
    for (const Triangle& t : finished.Triangles) sortedRows.push_back(t.p1.y);
    std::sort(rows.begin(), rows.end());
    std::sort(sortedRows.begin(), sortedRows.end());
    EXPECT_EQ(rows, sortedRows);
}

TEST_F(LoadMeshFile, MissingFileReadsNothingAndShowsNothing) {
    engine::MeshDocument mesh;
    quarvel::test::ScriptedProgress progress;
    int shown = 0;
    const MeshLoadOutcome outcome = LoadMesh((dir_ / "absent.dxf").string(), mesh, progress,
                                             [&](const std::string&) { ++shown; });
    EXPECT_FALSE(outcome.fileFound);
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(progress.positions.empty());
    EXPECT_EQ(mesh.Caption, engine::kMeshCaption);
}

TEST_F(LoadMeshFile, FolderInsteadOfFileIsAnIoError) {
    engine::MeshDocument mesh;
    NullProgress progress;
    EXPECT_THROW(LoadMesh(dir_.string(), mesh, progress), IoError);
}

}  // namespace
}  // namespace quarvel::io
