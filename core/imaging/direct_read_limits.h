#pragma once
// The largest pictures our direct readers decode themselves. A few compressed bytes can
// declare an enormous picture; larger ones go to ImageMagick, whose system policy then
// decides, exactly as before the direct readers existed.
#include <cstdint>

namespace quarvel::imaging::detail {

inline constexpr std::uint64_t kDirectReadMaxSide = 16000;
inline constexpr std::uint64_t kDirectReadMaxPixels = 128'000'000;

inline bool WithinDirectReadLimits(std::uint64_t width, std::uint64_t height) {
    return width > 0 && height > 0 && width <= kDirectReadMaxSide && height <= kDirectReadMaxSide &&
           width * height <= kDirectReadMaxPixels;
}

}  // namespace quarvel::imaging::detail
