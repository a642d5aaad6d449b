#include "text/text_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "text/fixed_text.h"

namespace quarvel {

void appendFixed(std::string& out, double value, int decimals) {
    // Four decimals are the bulk of every machine file: integer arithmetic, same text.
    if (decimals == 4 && std::isfinite(value)) {
        appendFixed4(out, value);
        return;
    }
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    out.append(buffer.data(), result.ptr);
}

std::string fixedText(double value, int decimals) {
    std::string text;
    appendFixed(text, value, decimals);
    return text;
}

namespace {

// Turns "d.ddde±x" (scientific) into plain decimal digits.
std::string plainFromScientific(std::string_view sci) {
    std::string sign;
    if (!sci.empty() && sci.front() == '-') {
        sign = "-";
        sci.remove_prefix(1);
    }
    const auto ePos = sci.find('e');
    const std::string_view mantissa = sci.substr(0, ePos);
    const int exponent = std::atoi(std::string(sci.substr(ePos + 1)).c_str());
    std::string digits;
    for (char c : mantissa)
        if (c != '.') digits += c;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    // The value is 0.digits * 10^(exponent + 1).
    const int pointAt = exponent + 1;
    std::string text;
    if (pointAt <= 0) {
        text = "0." + std::string(static_cast<std::size_t>(-pointAt), '0') + digits;
    } else if (static_cast<std::size_t>(pointAt) >= digits.size()) {
        text = digits + std::string(static_cast<std::size_t>(pointAt) - digits.size(), '0');
    } else {
        text = digits.substr(0, static_cast<std::size_t>(pointAt)) + "." +
               digits.substr(static_cast<std::size_t>(pointAt));
    }
    return sign + text;
}

}  // namespace

std::string generalText(double value) {
    if (value == 0.0) return "0";  // exact test: both zeros print as "0"
    if (!std::isfinite(value)) return std::isnan(value) ? "nan" : (value > 0 ? "inf" : "-inf");
    // 15 significant digits, correctly rounded, then trailing zeros dropped (as "%.15g"
    // would, but never with an exponent and never with the locale's separator).
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::scientific, 14);
    return plainFromScientific(std::string_view(buffer.data(), result.ptr - buffer.data()));
}

bool parseDouble(std::string_view text, double& value) {
    if (text.empty()) return false;
    if (text.front() == '+') text.remove_prefix(1);
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc{} && result.ptr == text.data() + text.size();
}

}  // namespace quarvel
