#include "imaging/bmp_reader.h"

#include "imaging/direct_read_limits.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace quarvel::imaging::detail {

namespace {

std::uint32_t u32(std::string_view b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

std::uint16_t u16(std::string_view b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}

int dpiOf(std::uint32_t pixelsPerMetre) {
    const auto ppm = static_cast<std::int32_t>(pixelsPerMetre);
    if (ppm <= 0) return 0;
    return static_cast<int>(std::nearbyint(ppm * 0.0254));
}

void unpackRow(const unsigned char* src, int width, int bits, std::uint8_t* dest) {
    if (bits == 8 || bits == 24) {
        std::memcpy(dest, src,
                    static_cast<std::size_t>(width) * static_cast<std::size_t>(bits / 8));
        return;
    }
    const int perByte = 8 / bits;
    const unsigned mask = (1u << bits) - 1u;
    for (int x = 0; x < width; ++x) {
        const int shift = 8 - bits * (x % perByte + 1);
        dest[x] = static_cast<std::uint8_t>((src[x / perByte] >> shift) & mask);
    }
}

}  // namespace

namespace {

struct PlainBmpLayout {
    std::uint64_t dataOffset = 0;
    std::uint64_t headerSize = 0;
    int width = 0;
    int height = 0;
    bool bottomUp = true;
    int bits = 0;
    std::uint64_t stride = 0;  // bytes per stored row, padded to 4
};

// The layout of an uncompressed 1/4/8/24-bit bitmap whose pixels all lie in `b`.
bool plainLayout(std::string_view b, PlainBmpLayout& l) {
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return false;
    l.dataOffset = u32(b, 10);
    l.headerSize = u32(b, 14);
    const auto width = static_cast<std::int32_t>(u32(b, 18));
    const auto rawHeight = static_cast<std::int32_t>(u32(b, 22));
    l.bits = u16(b, 28);
    if (l.headerSize < 40 || u16(b, 26) != 1 || u32(b, 30) != 0) return false;  // BI_RGB only
    if (l.bits != 1 && l.bits != 4 && l.bits != 8 && l.bits != 24) return false;
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) return false;
    const std::uint64_t height = static_cast<std::uint64_t>(std::abs(std::int64_t{rawHeight}));
    if (!WithinDirectReadLimits(static_cast<std::uint64_t>(width), height)) return false;
    l.width = width;
    l.height = static_cast<int>(height);
    l.bottomUp = rawHeight > 0;
    l.stride =
        ((static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(l.bits) + 31u) / 32u) * 4u;
    return l.dataOffset <= b.size() && l.stride * height <= b.size() - l.dataOffset;
}

bool readPalette(std::string_view b, const PlainBmpLayout& l, std::vector<PaletteEntry>& palette) {
    if (l.bits > 8) return true;
    const std::uint32_t used = u32(b, 46);
    const std::uint64_t entries = used != 0 ? used : (1u << l.bits);
    const std::uint64_t paletteAt = 14ull + l.headerSize;
    if (entries > (1u << l.bits) || paletteAt + entries * 4 > l.dataOffset) return false;
    for (std::uint64_t i = 0; i < entries; ++i) {
        const std::size_t at = static_cast<std::size_t>(paletteAt + i * 4);
        palette.push_back({static_cast<std::uint8_t>(b[at + 2]),
                           static_cast<std::uint8_t>(b[at + 1]), static_cast<std::uint8_t>(b[at])});
    }
    return true;
}

}  // namespace

bool ReadPlainBmp(std::string_view b, PixelImage& image, Progress& progress) {
    PlainBmpLayout l;
    std::vector<PaletteEntry> palette;
    if (!plainLayout(b, l) || !readPalette(b, l, palette)) return false;
    PixelImage out = MakeImage(l.width, l.height, l.bits);
    out.palette = std::move(palette);
    out.xResDpi = dpiOf(u32(b, 38));
    out.yResDpi = dpiOf(u32(b, 42));
    RowReporter reporter(progress, out.height);
    const auto* pixels = reinterpret_cast<const unsigned char*>(b.data() + l.dataOffset);
    for (int y = 0; y < out.height; ++y) {
        reporter.row(y);
        const int fileRow = l.bottomUp ? out.height - 1 - y : y;
        unpackRow(pixels + l.stride * static_cast<std::uint64_t>(fileRow), l.width, l.bits,
                  out.row(y));
    }
    if (l.bits <= 8) {
        for (std::uint8_t& index : out.pixels)
            if (index >= out.palette.size()) index = 0;  // a damaged index shows entry 0
    }
    image = std::move(out);
    reporter.finish();
    return true;
}

bool ReadPlainBmpRed(std::string_view b, TZGrid& grid) {
    int xResDpi = 0, yResDpi = 0;
    return ReadPlainBmpRed(b, grid, xResDpi, yResDpi);
}

bool ReadPlainBmpRed(std::string_view b, TZGrid& grid, int& xResDpi, int& yResDpi) {
    PlainBmpLayout l;
    std::vector<PaletteEntry> palette;
    if (!plainLayout(b, l) || !readPalette(b, l, palette)) return false;
    // A damaged index shows entry 0, as in ReadPlainBmp; the palette is never empty.
    std::array<std::uint8_t, 256> red{};
    for (std::size_t i = 0; i < red.size() && !palette.empty(); ++i)
        red[i] = palette[i < palette.size() ? i : 0].red;
    TZGrid out(l.height, l.width);
    std::vector<std::uint8_t> indexes(l.bits <= 8 ? static_cast<std::size_t>(l.width) : 0);
    const auto* pixels = reinterpret_cast<const unsigned char*>(b.data() + l.dataOffset);
    for (int y = 0; y < l.height; ++y) {
        const int fileRow = l.bottomUp ? l.height - 1 - y : y;
        const unsigned char* src = pixels + l.stride * static_cast<std::uint64_t>(fileRow);
        std::uint8_t* dest = out.row(y);
        if (l.bits == 24) {
            for (int x = 0; x < l.width; ++x) dest[x] = src[3 * static_cast<std::size_t>(x) + 2];
        } else {
            unpackRow(src, l.width, l.bits, indexes.data());
            for (int x = 0; x < l.width; ++x) dest[x] = red[indexes[static_cast<std::size_t>(x)]];
        }
    }
    grid = std::move(out);
    xResDpi = dpiOf(u32(b, 38));
    yResDpi = dpiOf(u32(b, 42));
    return true;
}

}  // namespace quarvel::imaging::detail
