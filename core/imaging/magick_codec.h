#pragma once
// The one door to ImageMagick: decoding file bytes into plain buffers and encoding our
// pixels into file bytes. Nothing else in the program includes Magick++.
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "progress/progress.h"

#include "imaging/pixel_image.h"

namespace quarvel::imaging::detail {

struct MagickDecoded {
    int width = 0;
    int height = 0;
    std::string format;  // ImageMagick's name of the format, for example "PCX"
    int xResDpi = 0;     // 0 when the file has no resolution
    int yResDpi = 0;
    std::vector<std::uint8_t> bgr;  // 24-bit rows, any transparency composited on white
    // Filled for palette images without transparency: the colour map and one index per
    // pixel (the same picture as `bgr`).
    std::vector<PaletteEntry> colourMap;
    std::vector<std::uint8_t> indexes;
    bool isGrey = false;      // the file stores grey levels
    int sampleBits = 0;       // bits per sample the file declares (0 when unknown)
    std::string photometric;  // TIFF's photometric tag as ImageMagick names it
};

// Decodes the first picture of `bytes`. `formatHint` (for example "WMF") names the format
// when the bytes alone do not tell it; empty lets ImageMagick decide. Throws IoError
// naming `path` when the bytes are not a readable picture.
// `onRows` follows the decoder's own progress in steps of about 5 %.
MagickDecoded DecodeWithMagick(const std::string& path, std::string_view bytes,
                               const std::string& formatHint, Progress& onRows = NoProgress());

// Encodes `image` as `magickFormat` ("TIFF", "JPEG", "PNG", "GIF") keeping its bit count
// where the format allows and its resolution as pixels per inch, onto `out`. Throws Error.
void EncodeWithMagick(const PixelImage& image, const std::string& magickFormat, std::ostream& out);

}  // namespace quarvel::imaging::detail
