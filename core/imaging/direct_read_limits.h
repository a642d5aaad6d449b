#pragma once
// The largest pictures this program reads, whichever reader decodes them. A few
// compressed bytes can declare an enormous picture, so every reader checks the declared
// size before it holds a pixel: the direct readers leave such files alone, and the
// ImageMagick door refuses them with the size the file declares.
#include <cstdint>
#include <string>

namespace quarvel::imaging::detail {

inline constexpr std::uint64_t kDirectReadMaxSide = 16000;
inline constexpr std::uint64_t kDirectReadMaxPixels = 128'000'000;

inline bool WithinDirectReadLimits(std::uint64_t width, std::uint64_t height) {
    return width > 0 && height > 0 && width <= kDirectReadMaxSide && height <= kDirectReadMaxSide &&
           width * height <= kDirectReadMaxPixels;
}

// Why a picture past the limits is refused, with the size it declares.
inline std::string PictureTooLargeText(std::uint64_t width, std::uint64_t height) {
    return "picture of " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels is too large (at most " + std::to_string(kDirectReadMaxSide) +
           " pixels a side and " + std::to_string(kDirectReadMaxPixels / 1'000'000) +
           " million pixels)";
}

}  // namespace quarvel::imaging::detail
