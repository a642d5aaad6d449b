#include "imaging/colour_reduction.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <vector>

#include "imaging/point_operations.h"

namespace quarvel::imaging {

namespace {

using Byte = std::uint8_t;

PixelImage paletteLike(const PixelImage& src, int bits, std::vector<PaletteEntry> palette) {
    PixelImage out = MakeImage(src.width, src.height, bits);
    out.xResDpi = src.xResDpi;
    out.yResDpi = src.yResDpi;
    out.palette = std::move(palette);
    return out;
}

// Fills indexes by `indexOf(red, green, blue, x, y)`.
template <class IndexOf>
void fillIndexes(const PixelImage& tc, PixelImage& out, IndexOf indexOf, Progress& progress) {
    RowReporter reporter(progress, tc.height);
    for (int y = 0; y < tc.height; ++y) {
        reporter.row(y);
        const Byte* p = tc.row(y);
        Byte* dest = out.row(y);
        for (int x = 0; x < tc.width; ++x, p += 3)
            dest[x] = static_cast<Byte>(indexOf(p[2], p[1], p[0], x, y));
    }
    reporter.finish();
}

int nearestLevel(int v, int levels) { return (v * (levels - 1) + 127) / 255; }
Byte levelValue(int level, int levels) {
    return static_cast<Byte>((level * 255 + (levels - 1) / 2) / (levels - 1));
}

std::vector<PaletteEntry> cubePalette(int rl, int gl, int bl) {
    std::vector<PaletteEntry> p;
    for (int r = 0; r < rl; ++r)
        for (int g = 0; g < gl; ++g)
            for (int b = 0; b < bl; ++b)
                p.push_back({levelValue(r, rl), levelValue(g, gl), levelValue(b, bl)});
    return p;
}

PixelImage uniform(const PixelImage& tc, int rl, int gl, int bl, Progress& progress) {
    PixelImage out = paletteLike(tc, 8, cubePalette(rl, gl, bl));
    fillIndexes(
        tc, out,
        [=](int r, int g, int b, int, int) {
            return (nearestLevel(r, rl) * gl + nearestLevel(g, gl)) * bl + nearestLevel(b, bl);
        },
        progress);
    return out;
}

PixelImage halftone(const PixelImage& tc, Progress& progress) {
    static constexpr int kBayer[8][8] = {
        {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
        {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
        {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
        {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};
    PixelImage out = paletteLike(tc, 8, cubePalette(6, 6, 6));
    fillIndexes(
        tc, out,
        [](int r, int g, int b, int x, int y) {
            // Threshold in 0..254 spread evenly over the 64 cells of the matrix.
            const int t = (2 * kBayer[y & 7][x & 7] + 1) * 255 / 128;
            auto level = [t](int v) { return std::min(5, (v * 5 + t) / 255); };
            return (level(r) * 6 + level(g)) * 6 + level(b);
        },
        progress);
    return out;
}

std::vector<PaletteEntry> vgaPalette() {
    return {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
            {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
            {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
            {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
}

// Colour counts on the 5-5-5 grid with the sums needed for each cell's mean.
struct CellStats {
    std::vector<std::uint32_t> count = std::vector<std::uint32_t>(32768);
    std::vector<std::uint64_t> red = std::vector<std::uint64_t>(32768);
    std::vector<std::uint64_t> green = std::vector<std::uint64_t>(32768);
    std::vector<std::uint64_t> blue = std::vector<std::uint64_t>(32768);
};

int cellOf(int r, int g, int b) { return (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3); }

CellStats countCells(const PixelImage& tc) {
    CellStats s;
    for (std::size_t i = 0; i < tc.pixels.size(); i += 3) {
        const int b = tc.pixels[i], g = tc.pixels[i + 1], r = tc.pixels[i + 2];
        const auto c = static_cast<std::size_t>(cellOf(r, g, b));
        ++s.count[c];
        s.red[c] += static_cast<std::uint64_t>(r);
        s.green[c] += static_cast<std::uint64_t>(g);
        s.blue[c] += static_cast<std::uint64_t>(b);
    }
    return s;
}

PaletteEntry meanOf(std::uint64_t n, std::uint64_t r, std::uint64_t g, std::uint64_t b) {
    return {static_cast<Byte>((r + n / 2) / n), static_cast<Byte>((g + n / 2) / n),
            static_cast<Byte>((b + n / 2) / n)};
}

std::vector<PaletteEntry> popularityPalette(const PixelImage& tc) {
    const CellStats s = countCells(tc);
    std::vector<int> cells(32768);
    std::iota(cells.begin(), cells.end(), 0);
    std::stable_sort(cells.begin(), cells.end(), [&](int a, int b) {
        return s.count[static_cast<std::size_t>(a)] > s.count[static_cast<std::size_t>(b)];
    });
    std::vector<PaletteEntry> palette;
    for (int c : cells) {
        const auto i = static_cast<std::size_t>(c);
        if (s.count[i] == 0 || palette.size() == 256) break;
        palette.push_back(meanOf(s.count[i], s.red[i], s.green[i], s.blue[i]));
    }
    return palette;
}

struct Box {
    int lo[3];
    int hi[3];  // inclusive cell bounds per channel (red, green, blue)
    std::uint64_t pixels = 0;
    std::uint64_t red = 0, green = 0, blue = 0;  // sums over the box's pixels
};

// Fills the counts and sums of `box` from the cell statistics.
void measure(Box& box, const CellStats& s) {
    box.pixels = box.red = box.green = box.blue = 0;
    for (int r = box.lo[0]; r <= box.hi[0]; ++r)
        for (int g = box.lo[1]; g <= box.hi[1]; ++g)
            for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
                const auto c = static_cast<std::size_t>(r << 10 | g << 5 | b);
                box.pixels += s.count[c];
                box.red += s.red[c];
                box.green += s.green[c];
                box.blue += s.blue[c];
            }
}

// The most populous box that can still be split, or -1.
int boxToSplit(const std::vector<Box>& boxes) {
    int pick = -1;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const Box& b = boxes[i];
        const bool splittable = b.hi[0] > b.lo[0] || b.hi[1] > b.lo[1] || b.hi[2] > b.lo[2];
        if (splittable && b.pixels > 0 &&
            (pick < 0 || b.pixels > boxes[static_cast<std::size_t>(pick)].pixels))
            pick = static_cast<int>(i);
    }
    return pick;
}

// Splits `box` across its longest side after the slice where the running count passes
// half of its pixels; returns the upper part.
Box splitAtMedian(Box& box, const CellStats& s) {
    int axis = 0;
    for (int a = 1; a < 3; ++a)
        if (box.hi[a] - box.lo[a] > box.hi[axis] - box.lo[axis]) axis = a;
    std::uint64_t running = 0;
    int cut = box.lo[axis];
    for (int v = box.lo[axis]; v < box.hi[axis]; ++v) {
        Box slice = box;
        slice.lo[axis] = slice.hi[axis] = v;
        measure(slice, s);
        running += slice.pixels;
        cut = v;
        if (running * 2 >= box.pixels) break;
    }
    Box upper = box;
    upper.lo[axis] = cut + 1;
    box.hi[axis] = cut;
    measure(box, s);
    measure(upper, s);
    return upper;
}

std::vector<PaletteEntry> medianCutPalette(const PixelImage& tc) {
    const CellStats s = countCells(tc);
    std::vector<Box> boxes{Box{{0, 0, 0}, {31, 31, 31}}};
    measure(boxes[0], s);
    while (boxes.size() < 256) {
        const int pick = boxToSplit(boxes);
        if (pick < 0) break;
        Box upper = splitAtMedian(boxes[static_cast<std::size_t>(pick)], s);
        boxes.push_back(upper);
    }
    std::vector<PaletteEntry> palette;
    for (const Box& box : boxes)
        if (box.pixels > 0) palette.push_back(meanOf(box.pixels, box.red, box.green, box.blue));
    return palette;
}

}  // namespace

namespace {

PixelImage greyScale(const PixelImage& tc, Progress& progress) {
    PixelImage out = paletteLike(tc, 8, GreyRamp(256));
    fillIndexes(
        tc, out, [](int r, int g, int b, int, int) { return Luminance(r, g, b); }, progress);
    return out;
}

PixelImage blackAndWhite(const PixelImage& tc, Progress& progress) {
    PixelImage out = paletteLike(tc, 1, {{0, 0, 0}, {255, 255, 255}});
    fillIndexes(
        tc, out, [](int r, int g, int b, int, int) { return Luminance(r, g, b) >= 128 ? 1 : 0; },
        progress);
    return out;
}

}  // namespace

bool ConvertColourMethod(PixelImage& image, std::int32_t method, Progress& progress) {
    const PixelImage tc = ExpandTo24(image);
    switch (method) {
        case kColoursPopularity:
            image = MapToPalette(tc, popularityPalette(tc), 8, progress);
            break;
        case kColoursMedianCut: image = MapToPalette(tc, medianCutPalette(tc), 8, progress); break;
        case kColoursUniform884: image = uniform(tc, 8, 8, 4, progress); break;
        case kColoursUniform666: image = uniform(tc, 6, 6, 6, progress); break;
        case kColoursHalftone: image = halftone(tc, progress); break;
        case kColoursSixteen: image = MapToPalette(tc, vgaPalette(), 4, progress); break;
        case kColoursGreyScale: image = greyScale(tc, progress); break;
        case kColoursBlackWhite: image = blackAndWhite(tc, progress); break;
        default: return false;
    }
    return true;
}

void ConvertToEightColours(PixelImage& image, int ditherPercent, Progress& progress) {
    const PixelImage tc = ExpandTo24(image);
    const int share = std::clamp(ditherPercent, 0, 100);
    std::vector<PaletteEntry> palette;
    for (int i = 0; i < 8; ++i)
        palette.push_back({static_cast<Byte>(i & 1 ? 255 : 0), static_cast<Byte>(i & 2 ? 255 : 0),
                           static_cast<Byte>(i & 4 ? 255 : 0)});
    PixelImage out = paletteLike(tc, 4, palette);
    // Errors carried to the current and next row, per channel, in 1/16ths scaled by share.
    const std::size_t w = static_cast<std::size_t>(tc.width);
    std::vector<int> here((w + 2) * 3), next((w + 2) * 3);
    RowReporter reporter(progress, tc.height);
    for (int y = 0; y < tc.height; ++y) {
        reporter.row(y);
        std::fill(next.begin(), next.end(), 0);
        const Byte* p = tc.row(y);
        for (std::size_t x = 0; x < w; ++x) {
            int index = 0;
            for (int c = 0; c < 3; ++c) {
                const std::size_t at = (x + 1) * 3 + static_cast<std::size_t>(c);
                const int v = p[x * 3 + static_cast<std::size_t>(2 - c)] + here[at] / 1600;
                const int chosen = v >= 128 ? 255 : 0;
                if (chosen) index |= 1 << c;
                const int err = (v - chosen) * share;  // in 1/100ths
                here[at + 3] += err * 7;
                next[at - 3] += err * 3;
                next[at] += err * 5;
                next[at + 3] += err * 1;
            }
            out.row(y)[x] = static_cast<Byte>(index);
        }
        std::swap(here, next);
    }
    image = std::move(out);
    reporter.finish();
}

}  // namespace quarvel::imaging
