#pragma once
// A raster relief program of about 1,000,000 lines (1000 rows of 1000 feed moves in a
// zig-zag), written by the writer behind `quarvel-cli gcode`.
#include <cmath>
#include <sstream>
#include <string>

#include "progress/progress.h"
#include "surface/raster_dnc.h"

namespace quarvel::bench {

inline std::string RasterProgramText(int side = 1000) {
    const auto heightAt = [](int x, int y) {
        return -0.125 * (1 + std::sin(x / 41.0) * std::cos(y / 29.0)) - 0.0001 * ((x * 7 + y) % 5);
    };
    surface::TGCode2Array moves;
    moves.reserve(static_cast<std::size_t>(side) * (side + 1) + 2);
    moves.push_back({surface::kRapidMove, 0.0, 0.0, 0.1});
    for (int r = 0; r < side; ++r) {
        for (int c = 0; c < side; ++c) {
            const int x = r % 2 == 0 ? c : side - 1 - c;
            moves.push_back({surface::kFeedMove, x * 0.01, r * 0.01, heightAt(x, r)});
        }
    }
    moves.push_back({surface::kRapidMove, 0.0, (side - 1) * 0.01, 0.1});
    std::ostringstream out;
    NullProgress none;
    surface::WriteRasterDnc(out, "01/01/26 10:00:00", "bench.png", moves, 10.0, none);
    return out.str();
}

}  // namespace quarvel::bench
