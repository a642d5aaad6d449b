#pragma once
// Reading a DNC (G-code) file into move records and extents, for the viewer's plot and
// `quarvel-cli dnc-info`.
#include <cstdint>
#include <string>
#include <string_view>

#include "gcode/gcode_move.h"
#include "progress/progress.h"

namespace quarvel::gcode {

// Larger files are refused: every line may give two records, and line numbers are 32-bit.
inline constexpr std::uintmax_t kMaxDncFileBytes = std::uintmax_t{1} << 30;

// Reads G-code text line by line. Lines end at CR, LF or CR LF; a character 26 ends the
// text. Comments "( ... )" and everything after ";" are removed first; lower-case
// letters read as capitals. Per line:
//  - an F word sets the feed and appends a feed change record (before any move record);
//  - G0..G3 set the modal motion (the last of them in the line counts) and append a
//    move record, also without coordinates; for G2/G3, I and J start at 0;
//  - without a motion word, a line with X, Y, Z, I or J appends a record with the modal
//    motion (0 before any), reading I and J only when that motion is an arc;
//  - X, Y, Z are absolute and modal; values are held as 32-bit floats.
// Other G words (G90, G17...) and N, M, S, T, P, D, H, O words change nothing. Number
// text runs while its characters lie between "+" and "9" ("$" and "9" for F) and must
// convert whole to a finite float; when it does not, the value is left as it was and
// the line is counted as not understood.
// Bounds start at 0; a point widens them in x, y, z; an arc by the box of its full
// circle in x and y. Progress follows the counted-loop rule over the text's bytes.
// Cancelled: the result holds the lines read so far and status Cancelled.
DncReadResult ReadDncText(std::string_view text, Progress& progress);
DncReadResult ReadDncText(std::string_view text);

// Reads the file `path` whole and calls ReadDncText. Throws IoError (with the path) when
// the file is missing, is not a regular file, is larger than kMaxDncFileBytes or cannot
// be read.
DncReadResult LoadDncFile(const std::string& path, Progress& progress);

}  // namespace quarvel::gcode
