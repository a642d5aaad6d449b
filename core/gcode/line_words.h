#pragma once
// The words of one G-code line, as the DNC reader uses them.
#include <cstdint>
#include <string_view>

namespace quarvel::gcode {

inline constexpr std::int32_t kNoMotion = -1;

struct Word {
    bool present = false;    // the letter appears in the line
    bool converted = false;  // its number text converted whole to a finite float
    float value = 0.0f;
};

struct LineWords {
    Word f, x, y, z, i, j;
    std::int32_t motion = kNoMotion;  // code of the last G0..G3 word, kNoMotion without one
    bool notUnderstood = false;       // see DncReadResult::linesNotUnderstood
};

// Splits one line (without its line end) into words. "( ... )" comments and the text
// after ";" are not read; a "(" without ")" runs to the end of the line. Letters read
// as capitals. The first F, X, Y, Z, I, J word counts; a repeated one is not understood.
LineWords splitWords(std::string_view line);

// Converts number text taken after a letter (a leading "+" allowed). False when the
// text is not a whole number or is out of the float range.
bool convertNumber(std::string_view text, float& value);

}  // namespace quarvel::gcode
