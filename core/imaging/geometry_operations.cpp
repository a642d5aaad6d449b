#include "imaging/geometry_operations.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "text/error.h"

namespace quarvel::imaging {

namespace {

PixelImage turned(const PixelImage& src, int quarter) {
    const bool sideways = quarter % 2 == 1;
    PixelImage dst = MakeImage(sideways ? src.height : src.width, sideways ? src.width : src.height,
                               src.bitCount);
    dst.palette = src.palette;
    dst.xResDpi = sideways ? src.yResDpi : src.xResDpi;
    dst.yResDpi = sideways ? src.xResDpi : src.yResDpi;
    const int bpp = src.bytesPerPixel();
    for (int y = 0; y < src.height; ++y) {
        const std::uint8_t* s = src.row(y);
        for (int x = 0; x < src.width; ++x) {
            int dx = x, dy = y;  // where pixel (x, y) goes
            if (quarter == 1) {
                dx = src.height - 1 - y;
                dy = x;
            } else if (quarter == 2) {
                dx = src.width - 1 - x;
                dy = src.height - 1 - y;
            } else if (quarter == 3) {
                dx = y;
                dy = src.width - 1 - x;
            }
            std::memcpy(dst.row(dy) + static_cast<std::ptrdiff_t>(dx) * bpp,
                        s + static_cast<std::ptrdiff_t>(x) * bpp, static_cast<std::size_t>(bpp));
        }
    }
    return dst;
}

double sinc(double x) {
    if (x == 0.0) return 1.0;  // exact: the limit at the origin
    const double px = std::numbers::pi * x;
    return std::sin(px) / px;
}

double lanczos3(double x) { return std::fabs(x) < 3.0 ? sinc(x) * sinc(x / 3.0) : 0.0; }

// Weights of the source pixels that make each destination pixel along one axis.
struct Contribution {
    int first = 0;
    std::vector<double> weights;
};

std::vector<Contribution> contributions(int srcSize, int dstSize) {
    const double scale = static_cast<double>(dstSize) / srcSize;
    const double widen = scale < 1.0 ? 1.0 / scale : 1.0;
    const double support = 3.0 * widen;
    std::vector<Contribution> out(static_cast<std::size_t>(dstSize));
    for (int d = 0; d < dstSize; ++d) {
        const double centre = (d + 0.5) / scale;
        const int lo = std::max(0, static_cast<int>(std::floor(centre - support)));
        const int hi = std::min(srcSize - 1, static_cast<int>(std::ceil(centre + support)));
        Contribution& c = out[static_cast<std::size_t>(d)];
        c.first = lo;
        double total = 0.0;
        for (int s = lo; s <= hi; ++s) {
            const double w = lanczos3((s + 0.5 - centre) / widen);
            c.weights.push_back(w);
            total += w;
        }
        for (double& w : c.weights) w = total != 0.0 ? w / total : 0.0;
    }
    return out;
}

std::uint8_t toByte(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::nearbyint(v), 0.0, 255.0));
}

}  // namespace

bool RotateQuarterTurns(PixelImage& image, double degrees) {
    const double quarters = degrees / 90.0;
    if (!std::isfinite(quarters) || quarters != std::nearbyint(quarters)) return false;
    const int quarter = static_cast<int>(std::fmod(std::fmod(quarters, 4.0) + 4.0, 4.0));
    if (quarter != 0 && !image.empty()) image = turned(image, quarter);
    return true;
}

namespace {

// One source row resampled across into `out` (width * 3 channel values).
void resampleAcross(const std::uint8_t* src, const std::vector<Contribution>& across,
                    std::vector<float>& out) {
    out.resize(across.size() * 3);
    for (std::size_t x = 0; x < across.size(); ++x) {
        const Contribution& c = across[x];
        double sum[3] = {0, 0, 0};
        for (std::size_t k = 0; k < c.weights.size(); ++k) {
            const std::uint8_t* p = src + (static_cast<std::size_t>(c.first) + k) * 3;
            for (int ch = 0; ch < 3; ++ch) sum[ch] += c.weights[k] * p[ch];
        }
        for (std::size_t ch = 0; ch < 3; ++ch) out[x * 3 + ch] = static_cast<float>(sum[ch]);
    }
}

// Source rows resampled across are made when first needed and dropped once no later
// destination row reads them (the rows a destination row reads only move down).
void resampleDown(const PixelImage& src, const std::vector<Contribution>& across,
                  const std::vector<Contribution>& down, PixelImage& dst, RowReporter& reporter) {
    const std::size_t rowValues = across.size() * 3;
    std::vector<std::vector<float>> rows(static_cast<std::size_t>(src.height));
    std::vector<double> sum(rowValues);
    int released = 0;
    for (int y = 0; y < dst.height; ++y) {
        reporter.row(y);
        const Contribution& c = down[static_cast<std::size_t>(y)];
        for (; released < c.first; ++released) rows[static_cast<std::size_t>(released)] = {};
        std::fill(sum.begin(), sum.end(), 0.0);
        for (std::size_t k = 0; k < c.weights.size(); ++k) {
            const int sy = c.first + static_cast<int>(k);
            std::vector<float>& m = rows[static_cast<std::size_t>(sy)];
            if (m.empty()) resampleAcross(src.row(sy), across, m);
            for (std::size_t i = 0; i < rowValues; ++i) sum[i] += c.weights[k] * m[i];
        }
        std::uint8_t* d = dst.row(y);
        for (std::size_t i = 0; i < rowValues; ++i) d[i] = toByte(sum[i]);
    }
}

}  // namespace

PixelImage ResampleByRatio(const PixelImage& image, double ratio, Progress& progress) {
    if (!(ratio > 0.0) || !std::isfinite(ratio))
        throw InvalidInput("the resize ratio must be above 0");
    const double w = std::max(1.0, std::nearbyint(image.width * ratio));
    const double h = std::max(1.0, std::nearbyint(image.height * ratio));
    if (w > 30000.0 || h > 30000.0 || w * h > 200e6)
        throw InvalidInput("the resized picture would be too large");
    const PixelImage src = ExpandTo24(image);
    PixelImage dst = MakeImage(static_cast<int>(w), static_cast<int>(h), 24);
    dst.xResDpi = image.xResDpi;
    dst.yResDpi = image.yResDpi;
    RowReporter reporter(progress, dst.height);
    resampleDown(src, contributions(src.width, dst.width), contributions(src.height, dst.height),
                 dst, reporter);
    reporter.finish();
    return image.isTrueColor() ? dst : MapToPalette(dst, image.palette, image.bitCount);
}

PixelImage CropImage(const PixelImage& image, int x, int y, int width, int height) {
    PixelImage out = MakeImage(width, height, image.bitCount);
    out.palette = image.palette;
    out.xResDpi = image.xResDpi;
    out.yResDpi = image.yResDpi;
    const std::size_t bpp = static_cast<std::size_t>(image.bytesPerPixel());
    for (int r = 0; r < height; ++r)
        std::memcpy(out.row(r), image.row(y + r) + static_cast<std::size_t>(x) * bpp,
                    out.rowBytes());
    return out;
}

void FillWhite(PixelImage& image, int x, int y, int width, int height) {
    std::uint8_t value = 255;
    if (!image.isTrueColor()) {
        PixelImage white = MakeImage(1, 1, 24);
        white.pixels = {255, 255, 255};
        value = MapToPalette(white, image.palette, image.bitCount).pixels[0];
    }
    const std::size_t bpp = static_cast<std::size_t>(image.bytesPerPixel());
    for (int r = y; r < y + height; ++r)
        std::memset(image.row(r) + static_cast<std::size_t>(x) * bpp, value,
                    static_cast<std::size_t>(width) * bpp);
}

}  // namespace quarvel::imaging
