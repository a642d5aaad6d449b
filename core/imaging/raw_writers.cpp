#include "imaging/raw_writers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace quarvel::imaging::detail {

namespace {

void put16(std::vector<std::uint8_t>& buf, unsigned v) {
    buf.push_back(static_cast<std::uint8_t>(v & 0xFFu));
    buf.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFFu));
}

void put32(std::vector<std::uint8_t>& buf, std::uint32_t v) {
    put16(buf, v & 0xFFFFu);
    put16(buf, v >> 16);
}

void write(std::ostream& out, const std::vector<std::uint8_t>& buf) {
    out.write(reinterpret_cast<const char*>(buf.data()), static_cast<std::streamsize>(buf.size()));
}

std::uint32_t pixelsPerMetre(int dpi) {
    return static_cast<std::uint32_t>(std::nearbyint(dpi / 0.0254));
}

// Packs palette indexes of `bits` bits each, most significant first, into `dest`.
void packIndexes(const std::uint8_t* src, int count, int bits, std::uint8_t* dest) {
    const int perByte = 8 / bits;
    for (int x = 0; x < count; ++x) {
        const int shift = 8 - bits * (x % perByte + 1);
        dest[x / perByte] |= static_cast<std::uint8_t>((src[x] & ((1 << bits) - 1)) << shift);
    }
}

int Luminance(const PaletteEntry& e) { return 299 * e.red + 587 * e.green + 114 * e.blue; }

}  // namespace

void WriteBmp(const PixelImage& image, std::ostream& out) {
    const int bits = image.bitCount;
    const std::uint32_t rowSize =
        ((static_cast<std::uint32_t>(image.width) * bits + 31u) / 32u) * 4u;
    const std::uint32_t paletteEntries = bits == 24 ? 0u : (1u << bits);
    const std::uint32_t dataOffset = 14u + 40u + paletteEntries * 4u;
    const std::uint32_t imageSize = rowSize * static_cast<std::uint32_t>(image.height);
    std::vector<std::uint8_t> head;
    head.reserve(dataOffset);
    head.push_back('B');
    head.push_back('M');
    put32(head, dataOffset + imageSize);
    put32(head, 0);
    put32(head, dataOffset);
    put32(head, 40);
    put32(head, static_cast<std::uint32_t>(image.width));
    put32(head, static_cast<std::uint32_t>(image.height));
    put16(head, 1);
    put16(head, static_cast<unsigned>(bits));
    put32(head, 0);  // no compression
    put32(head, imageSize);
    put32(head, pixelsPerMetre(image.xResDpi));
    put32(head, pixelsPerMetre(image.yResDpi));
    put32(head, 0);  // all 2^bits colours used
    put32(head, 0);
    for (std::uint32_t i = 0; i < paletteEntries; ++i) {
        const PaletteEntry e = i < image.palette.size() ? image.palette[i] : PaletteEntry{};
        head.insert(head.end(), {e.blue, e.green, e.red, 0});
    }
    write(out, head);
    std::vector<std::uint8_t> row(rowSize);
    for (int y = image.height - 1; y >= 0; --y) {
        std::fill(row.begin(), row.end(), 0);
        if (bits == 24 || bits == 8) {
            std::copy_n(image.row(y), image.rowBytes(), row.begin());
        } else {
            packIndexes(image.row(y), image.width, bits, row.data());
        }
        write(out, row);
    }
}

namespace {

// One scan line (all planes) in PCX run-length form; runs never cross the line's end.
void encodeRuns(const std::vector<std::uint8_t>& line, std::vector<std::uint8_t>& out) {
    std::size_t i = 0;
    while (i < line.size()) {
        const std::uint8_t v = line[i];
        std::size_t run = 1;
        while (i + run < line.size() && line[i + run] == v && run < 63) ++run;
        if (run > 1 || v >= 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 | run));
        out.push_back(v);
        i += run;
    }
}

std::vector<std::uint8_t> pcxHeader(const PixelImage& image, int bitsPerPlane, int planes,
                                    unsigned bytesPerLine) {
    std::vector<std::uint8_t> head;
    head.reserve(128);
    head.insert(head.end(), {0x0A, 5, 1, static_cast<std::uint8_t>(bitsPerPlane)});
    put16(head, 0);
    put16(head, 0);
    put16(head, static_cast<unsigned>(image.width - 1));
    put16(head, static_cast<unsigned>(image.height - 1));
    put16(head, static_cast<unsigned>(image.xResDpi));
    put16(head, static_cast<unsigned>(image.yResDpi));
    for (int i = 0; i < 16; ++i) {
        const bool inHeader = image.bitCount <= 4 && i < static_cast<int>(image.palette.size());
        const PaletteEntry e =
            inHeader ? image.palette[static_cast<std::size_t>(i)] : PaletteEntry{};
        head.insert(head.end(), {e.red, e.green, e.blue});
    }
    head.push_back(0);
    head.push_back(static_cast<std::uint8_t>(planes));
    put16(head, bytesPerLine);
    put16(head, IsGreyPalette(image.palette) && image.bitCount == 8 ? 2 : 1);
    head.resize(128, 0);
    return head;
}

// The planes of row y, each `bytesPerLine` long, one after the other.
void pcxLine(const PixelImage& image, int y, unsigned bytesPerLine,
             std::vector<std::uint8_t>& line) {
    std::fill(line.begin(), line.end(), 0);
    const std::uint8_t* src = image.row(y);
    const int w = image.width;
    if (image.bitCount == 24) {
        for (int x = 0; x < w; ++x) {
            line[x] = src[3 * x + 2];
            line[bytesPerLine + x] = src[3 * x + 1];
            line[2 * bytesPerLine + x] = src[3 * x];
        }
    } else if (image.bitCount == 8) {
        std::copy_n(src, w, line.begin());
    } else {
        const int planes = image.bitCount;  // 1 plane of 1 bit, or 4 planes of 1 bit
        for (int x = 0; x < w; ++x) {
            for (int p = 0; p < planes; ++p) {
                if ((src[x] >> p) & 1)
                    line[p * bytesPerLine + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
    }
}

}  // namespace

void WritePcx(const PixelImage& source, std::ostream& out) {
    // ImageMagick reads a 1-bit PCX as 1 = black, 0 = white whatever its palette, so the
    // lighter entry goes first (readers that use the header palette see it too).
    PixelImage swapped;
    const bool darkFirst = source.bitCount == 1 && source.palette.size() == 2 &&
                           Luminance(source.palette[0]) < Luminance(source.palette[1]);
    if (darkFirst) {
        swapped = source;
        std::swap(swapped.palette[0], swapped.palette[1]);
        for (auto& index : swapped.pixels) index = static_cast<std::uint8_t>(index ^ 1u);
    }
    const PixelImage& image = darkFirst ? swapped : source;
    const bool onePlaneBits = image.bitCount == 1 || image.bitCount == 4;
    const int bitsPerPlane = onePlaneBits ? 1 : 8;
    const int planes = image.bitCount == 24 ? 3 : (image.bitCount == 4 ? 4 : 1);
    unsigned bytesPerLine = static_cast<unsigned>((image.width * bitsPerPlane + 7) / 8);
    bytesPerLine += bytesPerLine % 2;  // lines hold an even number of bytes
    write(out, pcxHeader(image, bitsPerPlane, planes, bytesPerLine));
    std::vector<std::uint8_t> line(bytesPerLine * static_cast<unsigned>(planes));
    std::vector<std::uint8_t> encoded;
    encoded.reserve(line.size() * 2);
    for (int y = 0; y < image.height; ++y) {
        pcxLine(image, y, bytesPerLine, line);
        encoded.clear();
        encodeRuns(line, encoded);
        write(out, encoded);
    }
    if (image.bitCount == 8) {
        std::vector<std::uint8_t> tail{0x0C};
        for (std::size_t i = 0; i < 256; ++i) {
            const PaletteEntry e = i < image.palette.size() ? image.palette[i] : PaletteEntry{};
            tail.insert(tail.end(), {e.red, e.green, e.blue});
        }
        write(out, tail);
    }
}

}  // namespace quarvel::imaging::detail
