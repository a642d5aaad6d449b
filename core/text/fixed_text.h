#pragma once
// Four-decimal fixed text ("%.4f") of coordinates, the bulk of every tool-path and
// polyline file, computed with integers: a double is an integer times a power of two,
// so value × 10000 is an exact 128-bit product that is shifted and rounded to nearest,
// halves to even, exactly as "%.4f" rounds the binary value.
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/portability.h"
#include "text/finite_output.h"

namespace quarvel {

namespace detail {

// `product` >> shift (shift 13 to 67), rounded to nearest, halves to even. The result
// must fit in 64 bits.
inline std::uint64_t shiftRoundedHalfEven(platform::WideProduct product, int shift) {
    const auto bitsBelow = [&product](int count) {  // whether any of the lowest `count` bits is set
        if (count < 64) return (product.low & ((std::uint64_t{1} << count) - 1)) != 0;
        return product.low != 0 || (product.high & ((std::uint64_t{1} << (count - 64)) - 1)) != 0;
    };
    std::uint64_t units = shift < 64 ? (product.low >> shift) | (product.high << (64 - shift))
                                     : product.high >> (shift - 64);
    const int halfBit = shift - 1;
    const std::uint64_t half =
        halfBit < 64 ? (product.low >> halfBit) & 1 : (product.high >> (halfBit - 64)) & 1;
    if (half != 0 && (bitsBelow(halfBit) || (units & 1) != 0)) ++units;
    return units;
}

// "00" to "99", two characters each: the digits go out in pairs, halving the divisions.
inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

inline void putPair(char* p, std::uint64_t twoDigits) {
    std::memcpy(p, kDigitPairs + 2 * twoDigits, 2);
}

// Writes units / 10000 "." units % 10000 (four digits) at `p` and returns the end. The
// length is known before the first digit, so the digits go straight to their places.
inline char* putUnits4(char* p, std::uint64_t units) {
    const std::uint64_t whole = units / 10000;  // below 2^64 / 10^4: at most 16 digits
    const auto fraction = static_cast<std::uint32_t>(units % 10000);
    int wholeDigits = 1;
    for (std::uint64_t bound = 10; whole >= bound; bound *= 10) ++wholeDigits;
    char* const point = p + wholeDigits;
    putPair(point + 1, fraction / 100);
    putPair(point + 3, fraction % 100);
    *point = '.';
    std::uint64_t rest = whole;
    char* d = point;
    while (rest >= 100) {
        d -= 2;
        putPair(d, rest % 100);
        rest /= 100;
    }
    if (rest >= 10)
        putPair(d - 2, rest);
    else
        d[-1] = static_cast<char>('0' + rest);
    return point + 5;
}

}  // namespace detail

// Room that putFixed4 may need: the longest fixed text of a double.
inline constexpr std::size_t kFixed4Room = 400;

// Writes "%.4f" of `value` at `p` (room for kFixed4Room characters) and returns the end.
// Values of 2^40 and more go through std::to_chars, which gives the same text more
// slowly. Infinities and NaN throw NonFiniteOutput.
inline char* putFixed4(char* p, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    const int exponent = biased == 0 ? -1074 : biased - 1075;  // |value| = mantissa × 2^exponent
    if (biased != 0) mantissa |= std::uint64_t{1} << 52;
    if (biased == 0x7ff) throw NonFiniteOutput();
    if (exponent > -13)
        return std::to_chars(p, p + kFixed4Room, value, std::chars_format::fixed, 4).ptr;
    const platform::WideProduct scaled = platform::multiplyWide(mantissa, 10000u);  // below 2^67
    const int shift = -exponent;                                                    // at least 13
    std::uint64_t units = 0;  // |value| × 10000, rounded
    if (shift < 68) units = detail::shiftRoundedHalfEven(scaled, shift);
    // else below half a unit of the last place: 0
    if ((bits >> 63) != 0) *p++ = '-';  // "%.4f" keeps the sign of negative values and -0
    return detail::putUnits4(p, units);
}

// Appends "%.4f" of `value` to `out`.
inline void appendFixed4(std::string& out, double value) {
    std::array<char, kFixed4Room> buffer;
    out.append(buffer.data(), putFixed4(buffer.data(), value));
}

}  // namespace quarvel
