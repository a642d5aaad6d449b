// STL faces: binary and ASCII of the same faces agree, "solid" heads of binary files,
// and every kind of broken file is refused with its name instead of giving part of it.
#include "io/stl_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "stl_test_files.h"
#include "text/error.h"

namespace quarvel::io {
namespace {

using test::asciiStl;
using test::binaryStl;

// Values a float holds exactly, so that both encodings give the same doubles.
const std::vector<Triangle> kFaces = {
    {{0, 0, 0}, {1, 0, 0.5}, {0, 1, 0.25}},
    {{1, 0, 0.5}, {1, 1, -2}, {0, 1, 0.25}},
    {{0, 0, 3}, {2, 0, 3}, {0, 2, 3}},  // level
};

std::string errorOf(const std::string& bytes, const std::string& name = "part.stl") {
    try {
        ReadStlFaces(bytes, name);
    } catch (const FormatError& e) {
        EXPECT_EQ(e.file(), name);
        return e.what();
    }
    ADD_FAILURE() << "no error";
    return {};
}

TEST(ReadStlFaces, BinaryAndAsciiOfTheSameFacesAgree) {
    EXPECT_EQ(DetectStlEncoding(binaryStl(kFaces)), StlEncoding::Binary);
    EXPECT_EQ(DetectStlEncoding(asciiStl(kFaces)), StlEncoding::Ascii);
    EXPECT_EQ(ReadStlFaces(binaryStl(kFaces), "a.stl"), kFaces);
    EXPECT_EQ(ReadStlFaces(asciiStl(kFaces), "a.stl"), kFaces);
}

TEST(ReadStlFaces, BinaryFileWhoseHeadStartsWithSolid) {
    const std::string bytes = binaryStl(kFaces, "solid exported by a binary writer");
    EXPECT_EQ(DetectStlEncoding(bytes), StlEncoding::Binary);
    EXPECT_EQ(ReadStlFaces(bytes, "a.stl"), kFaces);
    // One byte more and the sizes no longer match: it is read as text and refused.
    EXPECT_EQ(DetectStlEncoding(bytes + " "), StlEncoding::Ascii);
    EXPECT_THROW(ReadStlFaces(bytes + " ", "a.stl"), FormatError);
}

TEST(ReadStlFaces, EmptyMeshesOfBothKinds) {
    EXPECT_TRUE(ReadStlFaces(binaryStl({}), "a.stl").empty());
    EXPECT_TRUE(ReadStlFaces("solid empty\nendsolid empty\n", "a.stl").empty());
}

TEST(ReadStlFaces, AsciiVariantsThatAreAccepted) {
    const std::string facet = test::asciiFacet("1", "2", "3", "4", "5", "6", "7", "8", "+9e0");
    const Triangle expected{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    const struct {
        const char* name;
        std::string text;
        std::size_t faces;
    } cases[] = {
        {"two solids", "solid a\n" + facet + "endsolid a\nsolid b\n" + facet + "endsolid\n", 2},
        {"CR LF and tabs",
         "solid x\r\n\tfacet normal 0 0 1\r\n\touter loop\r\n\tvertex 1 2 3\r\n"
         "\tvertex 4 5 6\r\n\tvertex 7 8 9\r\n\tendloop\r\n\tendfacet\r\nendsolid\r\n",
         1},
        {"upper-case keywords",
         "SOLID X\nFACET NORMAL 0 0 1\nOUTER LOOP\nVERTEX 1 2 3\nVERTEX 4 5 6\nVERTEX 7 8 9\n"
         "ENDLOOP\nENDFACET\nENDSOLID X\n",
         1},
        {"nan normal",
         "solid\nfacet normal nan -nan nan\nouter loop\nvertex 1 2 3\nvertex 4 5 6\n"
         "vertex 7 8 9\nendloop\nendfacet\nendsolid\n",
         1},
    };
    for (const auto& c : cases) {
        const std::vector<Triangle> faces = ReadStlFaces(c.text, "a.stl");
        ASSERT_EQ(faces.size(), c.faces) << c.name;
        EXPECT_EQ(faces.front(), expected) << c.name;
    }
}

TEST(ReadStlFaces, TruncatedBinaryNamesCountAndSize) {
    std::string bytes = binaryStl(kFaces);
    bytes.resize(bytes.size() - 10);
    const std::string what = errorOf(bytes);
    EXPECT_NE(what.find("part.stl"), std::string::npos);
    EXPECT_NE(what.find("counts 3 facets (234 bytes)"), std::string::npos) << what;
    EXPECT_NE(what.find("has only 224 bytes"), std::string::npos) << what;
    EXPECT_NE(errorOf(binaryStl(kFaces, "", 1000)).find("counts 1000 facets"), std::string::npos);
    EXPECT_NE(errorOf(std::string(40, 'x')).find("84-byte head"), std::string::npos);
}

TEST(ReadStlFaces, EmptyFileIsAnError) { EXPECT_NE(errorOf("").find("empty"), std::string::npos); }

TEST(ReadStlFaces, NonFiniteCornersAreRefused) {
    std::vector<Triangle> faces = kFaces;
    faces[1].p2.y = std::numeric_limits<double>::quiet_NaN();
    EXPECT_NE(errorOf(binaryStl(faces)).find("facet 2, corner 2"), std::string::npos);
    faces[1].p2.y = std::numeric_limits<double>::infinity();
    EXPECT_NE(errorOf(binaryStl(faces)).find("not a finite number"), std::string::npos);
    const std::string text =
        "solid\n" + test::asciiFacet("1", "2", "3", "4", "nan", "6", "7", "8", "9");
    EXPECT_NE(errorOf(text).find("part.stl:5: expected a finite number, found 'nan'"),
              std::string::npos)
        << errorOf(text);
    const std::string huge =
        "solid\n" + test::asciiFacet("1", "2", "3", "4", "1e999", "6", "7", "8", "9");
    EXPECT_THROW(ReadStlFaces(huge, "a.stl"), FormatError);
}

TEST(ReadStlFaces, AsciiThatStopsEarlyIsRefused) {
    const std::string whole = asciiStl(kFaces);
    // Cut inside the second facet, just after one of its vertex lines.
    const std::size_t second = whole.find("facet", whole.find("endfacet") + 8);
    const std::size_t cut = whole.find("vertex", second) + 30;
    const std::string what = errorOf(whole.substr(0, cut));
    EXPECT_NE(what.find("ends inside facet 2"), std::string::npos) << what;
    // After a whole facet but before "endsolid": still not a complete file.
    const std::string noEnd = whole.substr(0, whole.find("endsolid"));
    EXPECT_NE(errorOf(noEnd).find("ends before 'endsolid'"), std::string::npos);
    EXPECT_NE(errorOf("solid\nfacet normal 0 0 1\nouter loop\nvertex 1 2 3\nendloop\n")
                  .find("part.stl:5: expected 'vertex', found 'endloop'"),
              std::string::npos);
}

TEST(ReadStlFile, LargeBinaryFileReadInBlocksGivesEveryFacet) {
    std::vector<Triangle> faces;
    for (int i = 0; i < 40000; ++i)
        faces.push_back({{i * 0.5, 1, 2}, {3, i * 0.25, 4}, {5, 6, -i * 0.125}});
    const std::string bytes = binaryStl(faces, "solid but binary");
    EXPECT_EQ(ReadStlFile(test::writeTestFile("blocks.stl", bytes)), faces);
    faces[20000].p3.x = std::numeric_limits<double>::infinity();
    const std::string path = test::writeTestFile("blocks_inf.stl", binaryStl(faces));
    try {
        ReadStlFile(path);
        ADD_FAILURE() << "no error";
    } catch (const FormatError& e) {
        EXPECT_NE(std::string(e.what()).find("facet 20001, corner 3"), std::string::npos)
            << e.what();
    }
    std::string cut = bytes;
    cut.resize(cut.size() - 50);
    EXPECT_THROW(ReadStlFile(test::writeTestFile("blocks_cut.stl", cut)), FormatError);
    EXPECT_THROW(ReadStlFile(test::writeTestFile("empty.stl", "")), FormatError);
    EXPECT_THROW(ReadStlFile("/nonexistent/x.stl"), IoError);
}

TEST(IsStlFileName, AnyLetterCase) {
    EXPECT_TRUE(IsStlFileName("/a/b/part.stl"));
    EXPECT_TRUE(IsStlFileName("PART.STL"));
    EXPECT_TRUE(IsStlFileName("x.Stl"));
    EXPECT_FALSE(IsStlFileName("part.dxf"));
    EXPECT_FALSE(IsStlFileName("stl"));
}

}  // namespace
}  // namespace quarvel::io
