// Reading a DXF mesh of 1,000,000 faces (1000 x 1000 quadrilaterals, as the program's own
// surface writer lays them out) with LoadMesh, and with ezdxf on the same file in the
// same run for comparison.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/mesh_loading.h"
#include "text/text_format.h"

namespace {

using namespace quarvel;

constexpr int kSide = 1000;

std::string appendLines(std::string& out, std::initializer_list<std::string_view> lines) {
    for (std::string_view line : lines) {
        out.append(line);
        out.append(kCrLf);
    }
    return {};
}

double heightAt(int x, int y) { return 0.25 * (1 + std::sin(x / 41.0) * std::cos(y / 29.0)); }

// Writes the mesh once per run; returns its path.
const std::string& meshFile() {
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() / "quarvel_bench_mesh_1m.dxf";
        std::string text;
        text.reserve(200u << 20);
        appendLines(text, {"0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1009", "0",
                           "ENDSEC", "0", "SECTION", "2", "ENTITIES"});
        for (int r = 0; r < kSide; ++r) {
            for (int c = 0; c < kSide; ++c) {
                appendLines(text, {"0", "3DFACE"});
                const int xs[4] = {c, c + 1, c + 1, c}, ys[4] = {r, r, r + 1, r + 1};
                for (int k = 0; k < 4; ++k) {
                    const std::string code = std::to_string(10 + k);
                    appendLines(text, {code});
                    appendFixed(text, xs[k] * 0.01, 4);
                    text.append(kCrLf);
                    appendLines(text, {std::to_string(20 + k)});
                    appendFixed(text, ys[k] * 0.01, 4);
                    text.append(kCrLf);
                    appendLines(text, {std::to_string(30 + k)});
                    appendFixed(text, heightAt(xs[k], ys[k]), 4);
                    text.append(kCrLf);
                }
            }
        }
        appendLines(text, {"0", "ENDSEC", "0", "EOF"});
        // Written beside and renamed, so that a reader started meanwhile never sees half a file.
        const auto part = file.string() + ".part";
        std::ofstream(part, std::ios::binary)
            .write(text.data(), static_cast<std::streamsize>(text.size()));
        std::filesystem::rename(part, file);
        return file.string();
    }();
    return path;
}

// Seconds ezdxf takes to read the file, or a negative number when it is not installed.
double ezdxfSeconds(const std::string& path) {
    const std::string command =
        "/usr/bin/python3 -c \"import sys, time, ezdxf; t = time.perf_counter(); "
        "ezdxf.readfile(sys.argv[1]); print(time.perf_counter() - t)\" '" +
        path + "' 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    double seconds = -1;
    if (std::fscanf(pipe, "%lf", &seconds) != 1) seconds = -1;
    pclose(pipe);
    return seconds;
}

void BM_LoadMesh1M(benchmark::State& state) {
    const std::string& path = meshFile();
    std::size_t facets = 0;
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        engine::MeshDocument mesh;
        NullProgress progress;
        engine::LoadMesh(path, mesh, progress);
        facets = mesh.Triangles.size();
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
    state.counters["facets"] = static_cast<double>(facets);
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    const double ours = total / static_cast<double>(state.iterations());
    if (state.range(0) != 0) {
        const double theirs = ezdxfSeconds(path);
        state.counters["ezdxf_s"] = theirs;
        if (theirs > 0) state.counters["times_faster"] = theirs / ours;
    }
}
BENCHMARK(BM_LoadMesh1M)->Unit(benchmark::kMillisecond)->Iterations(3)->Arg(0);
// Also reads the file with ezdxf once (this takes minutes).
BENCHMARK(BM_LoadMesh1M)->Unit(benchmark::kMillisecond)->Iterations(1)->Arg(1);

}  // namespace
