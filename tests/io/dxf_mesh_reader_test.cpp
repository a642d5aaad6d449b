#include "io/dxf_mesh_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

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

MeshFaces read(const std::string& text) { return ReadMeshFaces(text, "mesh.dxf"); }

struct FaceCase {
    const char* name;
    std::string text;
    std::size_t triangles;
    std::size_t edges;
};

class FaceCounts : public ::testing::TestWithParam<FaceCase> {};

TEST_P(FaceCounts, GivesTrianglesAndEdges) {
    const MeshFaces mesh = read(GetParam().text);
    EXPECT_EQ(mesh.triangles.size(), GetParam().triangles);
    EXPECT_EQ(mesh.edges.size(), GetParam().edges);
}

const std::array<std::array<double, 3>, 4> kHalfLevel = {
    {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 5}}};

INSTANTIATE_TEST_SUITE_P(
    Files, FaceCounts,
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
    const MeshFaces mesh = read(joined(concat({kHead, face(kQuad, {"8", "0", "62", "7"}), kTail})));
    ASSERT_EQ(mesh.triangles.size(), 2u);
    EXPECT_EQ(mesh.triangles[0].p3.z, 2.0);
    EXPECT_EQ(mesh.triangles[1].p3.x, 1.0);
}

TEST(ReadMeshFaces, QuadSplitsAlongDiagonalFromFirstToThirdCorner) {
    const MeshFaces mesh = read(joined(concat({kHead, face(kQuad), kTail})));
    // Triangle B is (c1, c3, c4); its extra edges are (c3, c4) and (c4, c1), z negated.
    EXPECT_EQ(mesh.triangles[1], (Triangle{{0, 0, 0}, {0, 1, 1}, {1, 1, 2}}));
    EXPECT_EQ(mesh.edges[3], (Edge{{1, 1, -2}, {0, 1, -1}}));
    EXPECT_EQ(mesh.edges[4], (Edge{{0, 1, -1}, {0, 0, -0.0}}));
    // Edges of A follow its sorted corners.
    EXPECT_EQ(mesh.edges[0], (Edge{{0, 0, -0.0}, {1, 0, -1}}));
}

TEST(ReadMeshFaces, MissingCoordinateKeepsPreviousFaceValueAndFirstTakesZero) {
    const Lines first = {"0",  "3DFACE", "10", "1", "20", "1", "11", "2", "21", "1", "31", "3",
                         "12", "2",      "22", "2", "32", "3", "13", "2", "23", "2", "33", "3"};
    const Lines second = {"0", "3DFACE", "30", "7"};
    const MeshFaces mesh = read(joined(concat({kHead, first, second, kTail})));
    ASSERT_EQ(mesh.triangles.size(), 2u);
    EXPECT_EQ(mesh.triangles[0].p1, (Vertex3{1, 1, 0}));
    EXPECT_EQ(mesh.triangles[1].p3, (Vertex3{1, 1, 7}));
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

// The message says what is wrong with the text and quotes no more than 80 characters
// of it, however long the line.
TEST(ReadMeshFaces, MessagesTellTheReasonAndQuoteLongLinesShort) {
    struct Case {
        std::string code, value, what;
    };
    const std::string digits(3000000, '7');
    const Case cases[] = {{"10", "1e309", "mesh.dxf:8: the number '1e309' is too large"},
                          {"10", "-1e400", "mesh.dxf:8: the number '-1e400' is too large"},
                          {"10", "inf", "mesh.dxf:8: expected a number, found 'inf'"},
                          {"10", digits + "x",
                           "mesh.dxf:8: expected a number, found '" + digits.substr(0, 80) +
                               "...' (3000001 characters)"},
                          {std::string(200, 'g'), "0",
                           "mesh.dxf:7: expected a group code, found '" + std::string(80, 'g') +
                               "...' (200 characters)"}};
    for (const Case& c : cases) {
        try {
            read(joined(concat({kHead, {"0", "3DFACE", c.code, c.value}})));
            ADD_FAILURE() << c.what;
        } catch (const FormatError& e) {
            EXPECT_EQ(std::string(e.what()), c.what);
        }
    }
}

TEST(ReadWholeFile, FolderOrMissingFileIsAnIoError) {
    EXPECT_THROW(ReadWholeFile(std::filesystem::temp_directory_path().string()), IoError);
    EXPECT_THROW(ReadWholeFile("/nonexistent/quarvel/mesh.dxf"), IoError);
}

}  // namespace
}  // namespace quarvel::io
