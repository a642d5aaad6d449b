// Importing STL meshes into a mesh window's document (read, edges, extents, sort):
// a binary file of 1,000,000 facets, and the same ASCII against the DXF reader per facet
// on triangles of the same surface.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/mesh_loading.h"
#include "io/dxf_mesh_reader.h"
#include "io/stl_reader.h"
#include "text/text_format.h"

namespace {

using namespace quarvel;

double heightAt(int x, int y) { return 0.25 * (1 + std::sin(x / 41.0) * std::cos(y / 29.0)); }

// Two triangles per grid square of a side x side surface, in row order.
template <typename Emit>
void forEachFacet(int side, Emit emit) {
    for (int r = 0; r < side; ++r) {
        for (int c = 0; c < side; ++c) {
            const Vertex3 a{c * 0.01, r * 0.01, heightAt(c, r)};
            const Vertex3 b{(c + 1) * 0.01, r * 0.01, heightAt(c + 1, r)};
            const Vertex3 d{(c + 1) * 0.01, (r + 1) * 0.01, heightAt(c + 1, r + 1)};
            const Vertex3 e{c * 0.01, (r + 1) * 0.01, heightAt(c, r + 1)};
            emit(Triangle{a, b, d});
            emit(Triangle{a, d, e});
        }
    }
}

std::string writeOnce(const std::string& name, const std::string& bytes) {
    const auto path = std::filesystem::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

void appendFloat(std::string& out, double v) {
    const float f = static_cast<float>(v);
    char raw[4];
    std::memcpy(raw, &f, 4);
    out.append(raw, 4);
}

// 707 x 707 squares: 999,698 facets.
const std::string& binaryFile() {
    static const std::string path = [] {
        std::string out(80, ' ');
        const std::uint32_t count = 707u * 707u * 2u;
        out.append(reinterpret_cast<const char*>(&count), 4);
        forEachFacet(707, [&](const Triangle& t) {
            for (int i = 0; i < 3; ++i) appendFloat(out, 0);
            for (const Vertex3& v : {t.p1, t.p2, t.p3}) {
                appendFloat(out, v.x);
                appendFloat(out, v.y);
                appendFloat(out, v.z);
            }
            out.append(2, '\0');
        });
        return writeOnce("quarvel_bench_1m.stl", out);
    }();
    return path;
}

constexpr int kTextSide = 300;  // 180,000 facets

void appendNumber(std::string& out, double v) { appendFixed(out, v, 4); }

const std::string& asciiFile() {
    static const std::string path = [] {
        std::string out = "solid bench\n";
        forEachFacet(kTextSide, [&](const Triangle& t) {
            out += "  facet normal 0 0 1\n    outer loop\n";
            for (const Vertex3& v : {t.p1, t.p2, t.p3}) {
                out += "      vertex ";
                appendNumber(out, v.x);
                out += ' ';
                appendNumber(out, v.y);
                out += ' ';
                appendNumber(out, v.z);
                out += '\n';
            }
            out += "    endloop\n  endfacet\n";
        });
        return writeOnce("quarvel_bench_text.stl", out + "endsolid bench\n");
    }();
    return path;
}

// The same triangles as 3DFACE entities whose fourth corner repeats the third.
const std::string& dxfFile() {
    static const std::string path = [] {
        std::string out = "0\r\nSECTION\r\n2\r\nENTITIES\r\n";
        forEachFacet(kTextSide, [&](const Triangle& t) {
            out += "0\r\n3DFACE\r\n";
            const Vertex3 corners[4] = {t.p1, t.p2, t.p3, t.p3};
            for (int k = 0; k < 4; ++k) {
                const double xyz[3] = {corners[k].x, corners[k].y, corners[k].z};
                for (int axis = 0; axis < 3; ++axis) {
                    out += std::to_string(10 * (axis + 1) + k) + "\r\n";
                    appendNumber(out, xyz[axis]);
                    out += "\r\n";
                }
            }
        });
        return writeOnce("quarvel_bench_text.dxf", out + "0\r\nENDSEC\r\n0\r\nEOF\r\n");
    }();
    return path;
}

void runImport(benchmark::State& state, const std::string& path) {
    std::size_t facets = 0;
    for (auto _ : state) {
        engine::MeshDocument mesh;
        NullProgress progress;
        engine::LoadMesh(path, mesh, progress);
        facets = mesh.Triangles.size();
        benchmark::DoNotOptimize(mesh.Triangles.data());
    }
    state.counters["facets"] = static_cast<double>(facets);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * facets));
}

void BM_BinaryStl1M(benchmark::State& state) { runImport(state, binaryFile()); }

// Reading alone (the faces in file order, no edges, no sort): the part that compares
// with a reader that only loads the facets.
void BM_BinaryStl1MFacesOnly(benchmark::State& state) {
    std::size_t facets = 0;
    for (auto _ : state) {
        const TTriangleArray faces = io::ReadStlFile(binaryFile());
        facets = faces.size();
        benchmark::DoNotOptimize(faces.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * facets));
}
void BM_AsciiStl(benchmark::State& state) { runImport(state, asciiFile()); }
void BM_DxfSameTriangles(benchmark::State& state) { runImport(state, dxfFile()); }

}  // namespace

BENCHMARK(BM_BinaryStl1M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BinaryStl1MFacesOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AsciiStl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DxfSameTriangles)->Unit(benchmark::kMillisecond);
