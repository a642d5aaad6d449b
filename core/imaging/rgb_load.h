#pragma once
// Loading a picture file straight into the 24-bit form that the jobs sample.
#include <cstdint>
#include <string>
#include <vector>

#include "geom/types.h"

namespace quarvel::imaging {

// A picture as 24-bit pixels: each row `width * 3` bytes in the order blue, green, red,
// the top row first.
struct Bgr24 {
    int width = 0;
    int height = 0;
    int xResDpi = 0;  // 0 when the file has no resolution
    int yResDpi = 0;
    std::vector<std::uint8_t> bytes;
};

// Reads any picture format the program reads. Throws quarvel::Error (IoError or
// FormatError) with the reason when the file cannot be read.
Bgr24 LoadBgr24(const std::string& path);

// The picture's red byte per pixel, top row first: the grid a picture run samples from
// LoadBgr24's pixels, made without them. A palette picture's red comes from its
// palette (black for an index past its end), as LoadBgr24 expands it. Throws as
// LoadBgr24 does.
TZGrid LoadRedGrid(const std::string& path);

// What a relief job needs of a picture file: LoadRedGrid's grid and the resolution that
// LoadBgr24 gives. Throws as LoadBgr24 does.
struct RedPicture {
    TZGrid grid;
    int xResDpi = 0;  // 0 when the file has no resolution
    int yResDpi = 0;
};
RedPicture LoadRedPicture(const std::string& path);

}  // namespace quarvel::imaging
