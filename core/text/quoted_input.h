#pragma once
// Input text quoted in a message. A hostile file can hold a line of many megabytes; a
// message shows only its beginning and says how long it was.
#include <string>
#include <string_view>

namespace quarvel {

inline constexpr std::size_t kMaxQuotedChars = 80;

// "'text'", or "'<first 80 characters>...' (N characters)" when the text is longer.
// Built piece by piece: GCC 12 warns falsely on a chain of string additions.
inline std::string quotedInput(std::string_view text) {
    std::string quoted = "'";
    quoted.append(text.substr(0, kMaxQuotedChars));
    if (text.size() <= kMaxQuotedChars) {
        quoted += "'";
        return quoted;
    }
    quoted += "...' (";
    quoted += std::to_string(text.size());
    quoted += " characters)";
    return quoted;
}

}  // namespace quarvel
