#include "imaging/bmp_reader.h"

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

bool ReadPlainBmp(std::string_view b, PixelImage& image, const ProgressFn& progress) {
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return false;
    const std::uint32_t dataOffset = u32(b, 10);
    const std::uint32_t headerSize = u32(b, 14);
    const auto width = static_cast<std::int32_t>(u32(b, 18));
    const auto rawHeight = static_cast<std::int32_t>(u32(b, 22));
    const int bits = u16(b, 28);
    if (headerSize < 40 || u16(b, 26) != 1 || u32(b, 30) != 0) return false;  // BI_RGB only
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return false;
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) return false;
    const std::int64_t height = std::abs(static_cast<std::int64_t>(rawHeight));
    const std::uint64_t stride =
        ((static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bits) + 31u) / 32u) * 4u;
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > (1ull << 30))
        return false;
    if (dataOffset > b.size() ||
        stride * static_cast<std::uint64_t>(height) > b.size() - dataOffset)
        return false;
    std::vector<PaletteEntry> palette;
    if (bits <= 8) {
        const std::uint32_t used = u32(b, 46);
        const std::uint64_t entries = used != 0 ? used : (1u << bits);
        const std::uint64_t paletteAt = 14ull + headerSize;
        if (entries > (1u << bits) || paletteAt + entries * 4 > dataOffset) return false;
        for (std::uint64_t i = 0; i < entries; ++i) {
            const std::size_t at = static_cast<std::size_t>(paletteAt + i * 4);
            palette.push_back({static_cast<std::uint8_t>(b[at + 2]),
                               static_cast<std::uint8_t>(b[at + 1]),
                               static_cast<std::uint8_t>(b[at])});
        }
    }
    PixelImage out = MakeImage(width, static_cast<int>(height), bits);
    out.palette = std::move(palette);
    out.xResDpi = dpiOf(u32(b, 38));
    out.yResDpi = dpiOf(u32(b, 42));
    const bool bottomUp = rawHeight > 0;
    RowReporter reporter(progress, out.height);
    for (int y = 0; y < out.height; ++y) {
        reporter.row(y);
        const int fileRow = bottomUp ? out.height - 1 - y : y;
        const auto* src = reinterpret_cast<const unsigned char*>(b.data() + dataOffset) +
                          stride * static_cast<std::uint64_t>(fileRow);
        unpackRow(src, width, bits, out.row(y));
    }
    if (bits <= 8) {
        for (std::uint8_t& index : out.pixels)
            if (index >= out.palette.size()) index = 0;
    }
    image = std::move(out);
    reporter.finish();
    return true;
}

}  // namespace quarvel::imaging::detail
