#include "imaging/pcx_reader.h"

#include "imaging/direct_read_limits.h"

#include <cstdint>
#include <vector>

namespace quarvel::imaging::detail {

namespace {

unsigned u16(std::string_view b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

// Run-length decoding of `count` bytes from offset 128; false when the data ends first.
bool decodeRuns(std::string_view b, std::size_t count, std::vector<std::uint8_t>& out) {
    // A run byte pair gives at most 63 bytes: a damaged header cannot ask for more.
    if (count > (b.size() - 128) * 63) return false;
    out.clear();
    out.reserve(count);
    std::size_t i = 128;
    while (out.size() < count) {
        if (i >= b.size()) return false;
        const auto v = static_cast<std::uint8_t>(b[i++]);
        if (v < 0xC0) {
            out.push_back(v);
            continue;
        }
        if (i >= b.size()) return false;
        out.insert(out.end(), v & 0x3Fu, static_cast<std::uint8_t>(b[i++]));
    }
    out.resize(count);
    return true;
}

std::vector<PaletteEntry> headerPalette(std::string_view b, int planes) {
    std::vector<PaletteEntry> palette;
    for (int i = 0; i < (1 << planes); ++i) {
        const std::size_t at = 16 + 3 * static_cast<std::size_t>(i);
        palette.push_back({static_cast<std::uint8_t>(b[at]), static_cast<std::uint8_t>(b[at + 1]),
                           static_cast<std::uint8_t>(b[at + 2])});
    }
    if (planes == 1 && palette[0] == palette[1]) palette = {{0, 0, 0}, {255, 255, 255}};
    return palette;
}

}  // namespace

bool ReadPlanarPcx(std::string_view b, PixelImage& image) {
    if (b.size() < 128 || b[0] != 0x0A || b[2] != 1 || b[3] != 1) return false;
    const int planes = static_cast<unsigned char>(b[65]);
    const unsigned xMin = u16(b, 4), yMin = u16(b, 6), xMax = u16(b, 8), yMax = u16(b, 10);
    const std::size_t bytesPerLine = u16(b, 66);
    if (planes < 1 || planes > 4 || xMax < xMin || yMax < yMin) return false;
    const int width = static_cast<int>(xMax - xMin + 1);
    const int height = static_cast<int>(yMax - yMin + 1);
    if (bytesPerLine * 8 < static_cast<std::size_t>(width)) return false;
    if (!WithinDirectReadLimits(static_cast<unsigned>(width), static_cast<unsigned>(height)))
        return false;
    const std::size_t lineBytes = bytesPerLine * static_cast<std::size_t>(planes);
    std::vector<std::uint8_t> data;
    if (!decodeRuns(b, lineBytes * static_cast<std::size_t>(height), data)) return false;
    PixelImage out = MakeImage(width, height, BitCountForColours(std::size_t{1} << planes));
    out.palette = headerPalette(b, planes);
    out.xResDpi = static_cast<int>(u16(b, 12));
    out.yResDpi = static_cast<int>(u16(b, 14));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* line = data.data() + lineBytes * static_cast<std::size_t>(y);
        std::uint8_t* dest = out.row(y);
        for (int x = 0; x < width; ++x) {
            unsigned index = 0;
            for (int p = 0; p < planes; ++p) {
                const std::uint8_t byte = line[bytesPerLine * static_cast<std::size_t>(p) +
                                               static_cast<std::size_t>(x / 8)];
                index |= ((byte >> (7 - x % 8)) & 1u) << p;
            }
            dest[x] = static_cast<std::uint8_t>(index);
        }
    }
    image = std::move(out);
    return true;
}

}  // namespace quarvel::imaging::detail
