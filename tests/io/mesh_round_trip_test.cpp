// A surface written by `quarvel-cli dxf` reads back with exactly the faces it holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "geom/ordering.h"
#include "io/dxf_mesh_reader.h"

namespace quarvel::io {
namespace {

// A small 24-bit BMP (rows bottom-up, padded to four bytes) with grey levels.
void writeGreyBmp(const std::string& path, int width, int height) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const int dataBytes = rowBytes * height;
    std::string file(54 + static_cast<std::size_t>(dataBytes), '\0');
    const auto put32 = [&file](std::size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k)
            file[at + static_cast<std::size_t>(k)] = static_cast<char>(v >> (8 * k));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    file[26] = 1;
    file[28] = 24;
    put32(34, static_cast<std::uint32_t>(dataBytes));
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const auto grey = static_cast<char>((r * 37 + c * 91) % 256);
            const std::size_t at = 54 + static_cast<std::size_t>(r * rowBytes + c * 3);
            file[at] = file[at + 1] = file[at + 2] = grey;
        }
    }
    std::ofstream(path, std::ios::binary) << file;
}

// The faces of a DXF file read independently: every 0/3DFACE followed by its 12 values.
std::vector<std::array<Vertex3, 4>> facesIn(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    std::vector<std::array<Vertex3, 4>> faces;
    for (std::size_t i = 0; i + 25 < lines.size(); ++i) {
        if (lines[i] != "0" || lines[i + 1] != "3DFACE") continue;
        std::array<Vertex3, 4> f{};
        for (std::size_t k = 0; k < 12; ++k) {
            const int code = std::stoi(lines[i + 2 + 2 * k]);
            const double v = std::stod(lines[i + 3 + 2 * k]);
            Vertex3& corner = f[static_cast<std::size_t>(code % 10)];
            (code / 10 == 1 ? corner.x : code / 10 == 2 ? corner.y : corner.z) = v;
        }
        faces.push_back(f);
    }
    return faces;
}

TEST(MeshRoundTrip, SurfaceWrittenByTheDxfCommandReadsBackFaceForFace) {
    const auto dir = std::filesystem::temp_directory_path() / "quarvel_mesh_round_trip";
    std::filesystem::create_directories(dir);
    const std::string picture = (dir / "grey.bmp").string();
    const std::string dxf = (dir / "grey.dxf").string();
    writeGreyBmp(picture, 5, 4);
    const std::string command = std::string(QUARVEL_CLI_PATH) + " dxf '" + picture + "' -o '" +
                                dxf + "' --size-x 7 --size-y 6 --no-gouge > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    TTriangleArray expected;
    for (const auto& [c1, c2, c3, c4] : facesIn(dxf)) {
        for (Triangle t : {Triangle{c1, c2, c3}, Triangle{c1, c3, c4}}) {
            SortCorners(t);
            if (t.p3.z - t.p1.z > 1e-6) expected.push_back(t);
        }
    }
    ASSERT_FALSE(expected.empty());
    NullProgress quiet;
    SortByLowestZ(expected, 0, static_cast<std::int64_t>(expected.size()) - 1, quiet);

    MeshFaces mesh = ReadMeshFaces(ReadWholeFile(dxf).view(), dxf);
    // The reader keeps file order; compare the two lists as sets of triangles.
    const auto byCorners = [](const Triangle& a, const Triangle& b) {
        const auto key = [](const Triangle& t) {
            return std::tie(t.p1.z, t.p1.x, t.p1.y, t.p2.x, t.p2.y, t.p2.z, t.p3.x, t.p3.y, t.p3.z);
        };
        return key(a) < key(b);
    };
    std::sort(expected.begin(), expected.end(), byCorners);
    std::sort(mesh.triangles.begin(), mesh.triangles.end(), byCorners);
    EXPECT_EQ(mesh.triangles, expected);
    EXPECT_EQ(mesh.edges.size(), facesIn(dxf).size() * 5);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace quarvel::io
