#include "imaging/pixel_image.h"

#include <cstdint>
#include <limits>

#include "imaging/row_reporter.h"

namespace quarvel::imaging {

PixelImage MakeImage(int width, int height, int bitCount) {
    PixelImage image;
    image.width = width;
    image.height = height;
    image.bitCount = bitCount;
    image.pixels.assign(image.rowBytes() * static_cast<std::size_t>(height), 0);
    return image;
}

std::vector<PaletteEntry> GreyRamp(int levels) {
    std::vector<PaletteEntry> ramp(static_cast<std::size_t>(levels));
    for (int i = 0; i < levels; ++i) {
        // Evenly spaced from 0 to 255, rounded to the nearest level.
        const int grey = levels > 1 ? (i * 255 + (levels - 1) / 2) / (levels - 1) : 0;
        const auto g = static_cast<std::uint8_t>(grey);
        ramp[static_cast<std::size_t>(i)] = {g, g, g};
    }
    return ramp;
}

bool IsGreyPalette(const std::vector<PaletteEntry>& palette) {
    for (const auto& e : palette) {
        if (e.red != e.green || e.green != e.blue) return false;
    }
    return true;
}

PixelImage ExpandTo24(const PixelImage& image) {
    if (image.isTrueColor()) return image;
    PixelImage out = MakeImage(image.width, image.height, 24);
    out.xResDpi = image.xResDpi;
    out.yResDpi = image.yResDpi;
    const std::size_t count = image.pixels.size();
    const PaletteEntry black{};
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t index = image.pixels[i];
        const PaletteEntry& e = index < image.palette.size() ? image.palette[index] : black;
        out.pixels[3 * i] = e.blue;
        out.pixels[3 * i + 1] = e.green;
        out.pixels[3 * i + 2] = e.red;
    }
    return out;
}

namespace {

std::uint8_t nearestEntry(const std::vector<PaletteEntry>& palette, int r, int g, int b) {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int dr = r - palette[i].red;
        const int dg = g - palette[i].green;
        const int db = b - palette[i].blue;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return static_cast<std::uint8_t>(best);
}

}  // namespace

PixelImage MapToPalette(const PixelImage& trueColor, const std::vector<PaletteEntry>& palette,
                        int bitCount, Progress& progress) {
    PixelImage out = MakeImage(trueColor.width, trueColor.height, bitCount);
    out.xResDpi = trueColor.xResDpi;
    out.yResDpi = trueColor.yResDpi;
    out.palette = palette;
    if (palette.empty()) out.palette.push_back({});
    // Pictures repeat colours a lot: big ones remember each exact colour's answer
    // (-1 = not yet), small ones are not worth the table.
    const bool cached = out.pixels.size() >= 4096;
    std::vector<std::int16_t> cache(cached ? std::size_t{1} << 24 : 0, -1);
    RowReporter reporter(progress, out.height);
    for (int y = 0; y < out.height; ++y) {
        reporter.row(y);
        const std::uint8_t* p = trueColor.row(y);
        std::uint8_t* dest = out.row(y);
        for (int x = 0; x < out.width; ++x, p += 3) {
            if (!cached) {
                dest[x] = nearestEntry(out.palette, p[2], p[1], p[0]);
                continue;
            }
            const std::size_t key = std::size_t{p[2]} << 16 | std::size_t{p[1]} << 8 | p[0];
            if (cache[key] < 0) cache[key] = nearestEntry(out.palette, p[2], p[1], p[0]);
            dest[x] = static_cast<std::uint8_t>(cache[key]);
        }
    }
    reporter.finish();
    return out;
}

int BitCountForColours(std::size_t colours) {
    if (colours <= 2) return 1;
    if (colours <= 16) return 4;
    return 8;
}

}  // namespace quarvel::imaging
