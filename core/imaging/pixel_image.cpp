#include "imaging/pixel_image.h"

#include <cstdint>
#include <limits>

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
                        int bitCount) {
    PixelImage out = MakeImage(trueColor.width, trueColor.height, bitCount);
    out.xResDpi = trueColor.xResDpi;
    out.yResDpi = trueColor.yResDpi;
    out.palette = palette;
    if (palette.empty()) out.palette.push_back({});
    const std::size_t count = out.pixels.size();
    if (count < 4096) {
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* p = &trueColor.pixels[3 * i];
            out.pixels[i] = nearestEntry(out.palette, p[2], p[1], p[0]);
        }
        return out;
    }
    // Pictures repeat colours a lot: remember each exact colour's answer (-1 = not yet).
    std::vector<std::int16_t> cache(std::size_t{1} << 24, -1);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t b = trueColor.pixels[3 * i];
        const std::uint8_t g = trueColor.pixels[3 * i + 1];
        const std::uint8_t r = trueColor.pixels[3 * i + 2];
        const std::size_t key = (std::size_t{r} << 16) | (std::size_t{g} << 8) | b;
        if (cache[key] < 0) cache[key] = nearestEntry(out.palette, r, g, b);
        out.pixels[i] = static_cast<std::uint8_t>(cache[key]);
    }
    return out;
}

int BitCountForColours(std::size_t colours) {
    if (colours <= 2) return 1;
    if (colours <= 16) return 4;
    return 8;
}

}  // namespace quarvel::imaging
