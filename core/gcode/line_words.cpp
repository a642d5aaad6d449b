#include "gcode/line_words.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace quarvel::gcode {

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char toCapital(char c) { return c >= 'a' ? static_cast<char>(c - ('a' - 'A')) : c; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// G codes that do not change where the plotted moves go: dwell, XY plane, units,
// cutter and length compensation, work offsets, path modes, cycle cancel, absolute
// positioning, feed per minute.
bool isHarmlessGCode(int n) {
    switch (n) {
        case 4:
        case 17:
        case 20:
        case 21:
        case 40:
        case 43:
        case 49:
        case 54:
        case 55:
        case 56:
        case 57:
        case 58:
        case 59:
        case 61:
        case 64:
        case 80:
        case 90:
        case 94: return true;
        default: return false;
    }
}

// Words that neither move the tool nor change how coordinates are read: line and
// program numbers, miscellaneous, spindle, tool, dwell time, compensation registers.
bool isIgnoredLetter(char c) {
    switch (c) {
        case 'N':
        case 'M':
        case 'S':
        case 'T':
        case 'P':
        case 'D':
        case 'H':
        case 'O': return true;
        default: return false;
    }
}

// Number text: characters from "+" to "9" in code; "$" to "9" for the feed, stopping at
// a comment's "(".
std::size_t numberTextEnd(std::string_view line, std::size_t from, char letter) {
    const char low = letter == 'F' ? '$' : '+';
    std::size_t p = from;
    while (p < line.size() && line[p] >= low && line[p] <= '9' && line[p] != '(') ++p;
    return p;
}

// The motion code of a G word's text, kNoMotion for any other G code. At most two
// digits are read (no digits read as 0, as in G alone).
std::int32_t readGWord(std::string_view text, bool& notUnderstood) {
    std::size_t digits = 0;
    int n = 0;
    while (digits < text.size() && digits < 2 && isDigit(text[digits]))
        n = n * 10 + (text[digits++] - '0');
    if (digits != text.size()) {
        notUnderstood = true;
        return kNoMotion;
    }
    if (n <= 3) return n + 1;  // G0 rapid is code 1 ... G3 code 4
    if (!isHarmlessGCode(n)) notUnderstood = true;
    return kNoMotion;
}

Word* wordFor(LineWords& w, char letter) {
    switch (letter) {
        case 'F': return &w.f;
        case 'X': return &w.x;
        case 'Y': return &w.y;
        case 'Z': return &w.z;
        case 'I': return &w.i;
        case 'J': return &w.j;
        default: return nullptr;
    }
}

void readWord(LineWords& w, char letter, std::string_view text) {
    if (letter == 'G') {
        const std::int32_t motion = readGWord(text, w.notUnderstood);
        if (motion != kNoMotion) w.motion = motion;
        return;
    }
    if (Word* word = wordFor(w, letter)) {
        if (word->present) {
            w.notUnderstood = true;
            return;
        }
        word->present = true;
        word->converted = convertNumber(text, word->value);
        if (!word->converted) w.notUnderstood = true;
        return;
    }
    if (!isIgnoredLetter(letter)) w.notUnderstood = true;
}

}  // namespace

bool convertNumber(std::string_view text, float& value) {
    if (text.size() > 1 && text[0] == '+' && text[1] != '+' && text[1] != '-')
        text.remove_prefix(1);
    double number = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, number);
    if (ec != std::errc{} || stop != end) return false;
    const auto single = static_cast<float>(number);
    if (!std::isfinite(single)) return false;
    value = single;
    return true;
}

LineWords splitWords(std::string_view line) {
    LineWords w;
    std::size_t p = 0;
    while (p < line.size()) {
        const char c = line[p];
        if (c == ';') break;
        if (c == '(') {
            const std::size_t close = line.find(')', p + 1);
            if (close == std::string_view::npos) break;
            p = close + 1;
        } else if (isLetter(c)) {
            const char letter = toCapital(c);
            const std::size_t end = numberTextEnd(line, p + 1, letter);
            readWord(w, letter, line.substr(p + 1, end - p - 1));
            p = end;
        } else {
            // Blanks and the "%" that brackets a program carry nothing; any other
            // character (a NUL, "#", "=", a stray digit) is not understood.
            if (c != ' ' && c != '\t' && c != '%') w.notUnderstood = true;
            ++p;
        }
    }
    return w;
}

}  // namespace quarvel::gcode
