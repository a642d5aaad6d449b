#pragma once
// Rounding of real values to whole numbers as the surface jobs need it.
#include <cmath>
#include <cstdint>

namespace quarvel::surface {

// Nearest whole number, halves to even (the default rounding mode of the FPU).
inline double roundHalfEven(double v) { return std::nearbyint(v); }

// The same as an integer, with values beyond +-2^40 held at that bound so that absurd
// sizes cannot overflow the conversion.
inline std::int64_t roundHalfEvenToInt(double v) {
    constexpr double kLimit = 1099511627776.0;  // 2^40
    const double r = roundHalfEven(v);
    if (!(r > -kLimit)) return -static_cast<std::int64_t>(kLimit);  // also NaN
    if (r > kLimit) return static_cast<std::int64_t>(kLimit);
    return static_cast<std::int64_t>(r);
}

}  // namespace quarvel::surface
