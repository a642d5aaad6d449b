#pragma once
// One fuzz entry point per direct picture reader: any bytes must give either a picture
// whose buffers agree with its size, or a plain refusal, never a crash or a runaway read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "geom/types.h"
#include "imaging/pixel_image.h"

namespace quarvel::fuzz {

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A reader that says yes must leave a whole picture behind.
inline void checkPicture(bool accepted, const imaging::PixelImage& image) {
    if (!accepted) return;
    if (image.empty() ||
        image.pixels.size() < image.rowBytes() * static_cast<std::size_t>(image.height))
        std::abort();
}

// A grid reader that says yes must leave a whole grid behind.
inline void checkGrid(bool accepted, const TZGrid& grid) {
    if (!accepted) return;
    if (grid.empty() || grid.cells.size() != static_cast<std::size_t>(grid.rows) *
                                                 static_cast<std::size_t>(grid.columns))
        std::abort();
}

}  // namespace quarvel::fuzz
