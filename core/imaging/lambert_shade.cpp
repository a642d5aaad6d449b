#include "imaging/lambert_shade.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "imaging/point_operations.h"

namespace quarvel::imaging {

namespace {

std::vector<double> heightsOf(const PixelImage& tc, const LambertParams& p) {
    std::mt19937 rng{1234};
    std::vector<double> h(static_cast<std::size_t>(tc.width) * static_cast<std::size_t>(tc.height));
    for (std::size_t i = 0; i < h.size(); ++i) {
        const std::uint8_t* px = &tc.pixels[3 * i];
        const double u = (rng() >> 8) * (2.0 / 16777216.0) - 1.0;
        h[i] = p.heightScale * (Luminance(px[2], px[1], px[0]) / 255.0 + p.roughness * u);
    }
    return h;
}

}  // namespace

PixelImage ShadeLambert(const PixelImage& image, const LambertParams& params, Progress& progress) {
    const PixelImage tc = ExpandTo24(image);
    const std::vector<double> h = heightsOf(tc, params);
    const double lat = params.latitudeDeg * std::numbers::pi / 180.0;
    const double lon = params.longitudeDeg * std::numbers::pi / 180.0;
    const double lx = std::cos(lat) * std::cos(lon);
    const double ly = std::cos(lat) * std::sin(lon);
    const double lz = std::sin(lat);
    const int w = tc.width, ht = tc.height;
    auto at = [&](int x, int y) {
        x = std::clamp(x, 0, w - 1);
        y = std::clamp(y, 0, ht - 1);
        return h[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                 static_cast<std::size_t>(x)];
    };
    PixelImage out = MakeImage(w, ht, 24);
    out.xResDpi = image.xResDpi;
    out.yResDpi = image.yResDpi;
    RowReporter reporter(progress, ht);
    for (int y = 0; y < ht; ++y) {
        reporter.row(y);
        std::uint8_t* d = out.row(y);
        for (int x = 0; x < w; ++x) {
            // Slopes east and north (rows grow southwards).
            const double dx = (at(x + 1, y) - at(x - 1, y)) / 2.0;
            const double dy = (at(x, y - 1) - at(x, y + 1)) / 2.0;
            const double dot = -dx * lx - dy * ly + lz;
            const double norm = std::sqrt(dx * dx + dy * dy + 1.0);
            const double shade = std::max(0.0, dot) / norm;
            const auto g =
                static_cast<std::uint8_t>(std::clamp(std::nearbyint(255.0 * shade), 0.0, 255.0));
            d[3 * x] = d[3 * x + 1] = d[3 * x + 2] = g;
        }
    }
    reporter.finish();
    return image.isTrueColor() ? out : MapToPalette(out, image.palette, image.bitCount);
}

}  // namespace quarvel::imaging
