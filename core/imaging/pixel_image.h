#pragma once
// The pixel model of a picture: one raster image with its colour depth, palette and
// resolution, held in our own buffers (the codecs only decode and encode).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "progress/progress.h"

namespace quarvel::imaging {

struct PaletteEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

// bitCount is 1, 4 or 8 (palette or grey) or 24 (true colour).
// - 24: `pixels` holds rows of width*3 bytes, blue, green, red, the top row first.
// - 1, 4, 8: `pixels` holds one palette index per byte (rows of `width` bytes); every
//   index is below palette.size(), and palette.size() <= 2^bitCount.
// Resolution is in pixels per inch, 0 when the file gave none.
struct PixelImage {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    int xResDpi = 0;
    int yResDpi = 0;
    std::vector<PaletteEntry> palette;
    std::vector<std::uint8_t> pixels;

    bool empty() const { return width <= 0 || height <= 0; }
    bool isTrueColor() const { return bitCount == 24; }
    int bytesPerPixel() const { return bitCount == 24 ? 3 : 1; }
    std::size_t rowBytes() const {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(bytesPerPixel());
    }
    std::uint8_t* row(int y) { return pixels.data() + rowBytes() * static_cast<std::size_t>(y); }
    const std::uint8_t* row(int y) const {
        return pixels.data() + rowBytes() * static_cast<std::size_t>(y);
    }
};

// An empty image of the given size and depth (pixels zero, no palette).
PixelImage MakeImage(int width, int height, int bitCount);

// The 256-entry grey ramp (entry i is grey level i), and a ramp of `levels` evenly
// spaced greys from black to white.
std::vector<PaletteEntry> GreyRamp(int levels = 256);

// True when every palette entry is grey (red = green = blue).
bool IsGreyPalette(const std::vector<PaletteEntry>& palette);

// The same picture as 24-bit pixels (a copy when it already is 24-bit).
PixelImage ExpandTo24(const PixelImage& image);

// Maps 24-bit pixels onto the nearest entries of `palette` (squared RGB distance, the
// lowest index on ties) and returns a palette image of `bitCount` bits.
// `progress` follows the rows (RowReporter).
PixelImage MapToPalette(const PixelImage& trueColor, const std::vector<PaletteEntry>& palette,
                        int bitCount, Progress& progress = NoProgress());

// Smallest of 1, 4, 8 that can index `colours` entries.
int BitCountForColours(std::size_t colours);

}  // namespace quarvel::imaging
