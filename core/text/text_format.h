#pragma once
// Number text for machine files. Always "." as decimal separator, whatever the locale:
// a comma would break every controller and CAD reader.
#include <string>
#include <string_view>

namespace quarvel {

// Fixed notation with `decimals` digits after the point, rounded exactly like C's "%.Nf"
// (correct rounding of the binary value). Negative values that round to zero keep
// their sign ("-0.0000"), as "%.Nf" does.
std::string fixedText(double value, int decimals);

// Appends the same text to `out` without allocating (hot loops).
void appendFixed(std::string& out, double value, int decimals);

// The shortest plain decimal that round-trips within 15 significant digits, never in
// exponent form (0.00001 gives "0.00001", 1e20 gives "100000000000000000000").
// Negative zero gives "0".
std::string generalText(double value);

// Parses a whole field as a double ("." separator only). False when any character is
// left over or the text is not a number.
bool parseDouble(std::string_view text, double& value);

// Line end of every text file we write.
inline constexpr std::string_view kCrLf = "\r\n";

}  // namespace quarvel
