#include "engine/mesh_loading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "support/scripted_progress.h"
#include "text/error.h"

namespace quarvel::engine {
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
    MeshDocument mesh;
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

// Corners that are finite numbers but whose spans overflow would give tool paths of
// "nan" and "inf"; corners far out but with finite spans still load.
TEST_F(LoadMeshFile, MeshWhoseSpansAreNotFiniteIsRefusedNamingTheFile) {
    for (const double e : {1e308, 1.7e308}) {
        const std::array<std::array<double, 3>, 4> far = {
            {{-e, -e, 0}, {e, -e, 1}, {e, e, 2}, {-e, e, 1}}};
        const std::string path = write(joined(concat({kHead, face(far), kTail})));
        MeshDocument mesh;
        NullProgress progress;
        try {
            LoadMesh(path, mesh, progress);
            ADD_FAILURE() << "accepted corners at " << e;
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()),
                      path + ": the mesh is too large: its extents do not fit in a finite number");
        }
    }
    const std::array<std::array<double, 3>, 4> wide = {
        {{-1e155, -1e155, 0}, {1e155, -1e155, 1}, {1e155, 1e155, 2}, {-1e155, 1e155, 1}}};
    MeshDocument mesh;
    NullProgress progress;
    EXPECT_EQ(LoadMesh(write(joined(concat({kHead, face(wide), kTail}))), mesh, progress).status,
              RunStatus::Completed);
}

TEST_F(LoadMeshFile, CancelSeenAfterReadingStopsTheImport) {
    const std::string path = write(joined(concat({kHead, face(kQuad), kTail})));
    MeshDocument mesh;
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
    MeshDocument mesh;
    quarvel::test::ScriptedProgress progress;
    int shown = 0;
    const MeshLoadOutcome outcome = LoadMesh((dir_ / "absent.dxf").string(), mesh, progress,
                                             [&](const std::string&) { ++shown; });
    EXPECT_FALSE(outcome.fileFound);
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(progress.positions.empty());
    EXPECT_EQ(mesh.Caption, kMeshCaption);
}

TEST_F(LoadMeshFile, FolderInsteadOfFileIsAnIoError) {
    MeshDocument mesh;
    NullProgress progress;
    EXPECT_THROW(LoadMesh(dir_.string(), mesh, progress), IoError);
}

}  // namespace
}  // namespace quarvel::engine
