// Reading a raster relief program of about 1,000,000 lines (1000 rows of 1000 feed moves,
// written by the same writer as `quarvel-cli gcode`) with the DNC reader: from memory, from
// the file, and with LinuxCNC's rs274 interpreter on the same file in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "gcode/dnc_reader.h"
#include "surface/raster_dnc.h"

namespace {

using namespace quarvel;

constexpr int kSide = 1000;

double heightAt(int x, int y) {
    return -0.125 * (1 + std::sin(x / 41.0) * std::cos(y / 29.0)) - 0.0001 * ((x * 7 + y) % 5);
}

const std::string& programText() {
    static const std::string text = [] {
        surface::TGCode2Array moves;
        moves.reserve(static_cast<std::size_t>(kSide) * (kSide + 1) + 2);
        moves.push_back({surface::kRapidMove, 0.0, 0.0, 0.1});
        for (int r = 0; r < kSide; ++r) {
            for (int c = 0; c < kSide; ++c) {
                const int x = r % 2 == 0 ? c : kSide - 1 - c;  // zig-zag
                moves.push_back({surface::kFeedMove, x * 0.01, r * 0.01, heightAt(x, r)});
            }
        }
        moves.push_back({surface::kRapidMove, 0.0, (kSide - 1) * 0.01, 0.1});
        std::ostringstream out;
        NullProgress none;
        surface::WriteRasterDnc(out, "01/01/26 10:00:00", "bench.png", moves, 10.0, none);
        return out.str();
    }();
    return text;
}

const std::string& programFile() {
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() / "quarvel_bench_raster_1m.dnc";
        const std::string& text = programText();
        const auto part = file.string() + ".part";
        std::ofstream(part, std::ios::binary)
            .write(text.data(), static_cast<std::streamsize>(text.size()));
        std::filesystem::rename(part, file);
        return file.string();
    }();
    return path;
}

// Seconds rs274 takes to interpret the file (canonical output discarded), or a negative
// number when it is not installed.
double rs274Seconds(const std::string& path) {
    if (!std::filesystem::exists("/usr/bin/rs274")) return -1;
    const auto dir = std::filesystem::temp_directory_path() / "quarvel_bench_rs274";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "tool.tbl") << "T1 P1 D0.125 Z0 ;bench tool\n";
    const std::string command = "cd '" + dir.string() + "' && /usr/bin/rs274 -g -t tool.tbl '" +
                                path + "' /dev/null < /dev/null > /dev/null 2>&1";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return status == -1 ? -1 : seconds;
}

void BM_ReadDncText1M(benchmark::State& state) {
    const std::string& text = programText();
    std::size_t moves = 0;
    std::int64_t lines = 0;
    for (auto _ : state) {
        NullProgress none;
        const gcode::DncReadResult r = gcode::ReadDncText(text, none);
        moves = r.moves.size();
        lines = r.lineCount;
        benchmark::DoNotOptimize(r.bounds);
    }
    state.SetItemsProcessed(state.iterations() * lines);
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["moves"] = static_cast<double>(moves);
    state.counters["text_MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_ReadDncText1M)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadDncFile1M(benchmark::State& state) {
    const std::string& path = programFile();
    std::int64_t lines = 0;
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        NullProgress none;
        lines = gcode::LoadDncFile(path, none).lineCount;
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.SetItemsProcessed(state.iterations() * lines);
    state.counters["lines"] = static_cast<double>(lines);
    const double ours = total / static_cast<double>(state.iterations());
    if (state.range(0) != 0) {
        const double theirs = rs274Seconds(path);
        state.counters["rs274_s"] = theirs;
        if (theirs > 0) state.counters["times_faster"] = theirs / ours;
    }
}
BENCHMARK(BM_LoadDncFile1M)->Unit(benchmark::kMillisecond)->Iterations(5)->Arg(0);
// Also interprets the file once with rs274 (several seconds).
BENCHMARK(BM_LoadDncFile1M)->Unit(benchmark::kMillisecond)->Iterations(3)->Arg(1);

}  // namespace
