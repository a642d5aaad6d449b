#pragma once
// The region tool-path program: one contour pass per region at the region's depth,
// entered and left at the rapid height. Lines end in CR LF; numbers use "." always.
#include <ostream>
#include <string>

#include "engine/region.h"
#include "machine/program_frame.h"
#include "progress/progress.h"
#include "toolpath/tool_path_order.h"

namespace quarvel::toolpath {

struct RegionDncHeader {
    std::string createdText;  // date and time shown on line 1
    std::string sourceName;   // the "From" name (see DncSourceName)
    double feedRate = 10.0;
    double rapidHeight = 0.25;
};

// Line 1 "( Created <createdText> From <sourceName>)", then "G90 T0", "F<feed>",
// "G00 Z<rapid>"; per ordered region: rapid to the start, plunge to -depth, one line
// per segment end, rapid up. Feed, rapid and depths in the shortest plain decimal
// text (never an exponent, -0 as "0"); coordinates with four decimals. Regions without
// segments are skipped. A machine's opening goes after line 1, its spindle start after
// the rapid line of the head, its closing after the last region. Throws NonFiniteOutput
// at a number that is not finite (the text is then incomplete). Each megabyte of text
// pumps events and tests the stop flag; Cancelled leaves the text cut short.
RunStatus WriteRegionDnc(std::ostream& out, const TOutRegionArray& ordered,
                         const RegionDncHeader& header, const machine::ProgramFrame& frame = {},
                         Progress& progress = NoProgress());
// The same, from regions and their cutting order (indexes, see ToolPathOrder).
RunStatus WriteRegionDnc(std::ostream& out, const engine::TRegionArray& regions,
                         const std::vector<std::size_t>& order, const RegionDncHeader& header,
                         const machine::ProgramFrame& frame = {},
                         Progress& progress = NoProgress());

// Orders the regions and writes the file for `machine` through a temporary file renamed
// when complete; the run-time estimate goes into the head when the profile writes
// comments. Throws IoError or NonFiniteOutput; the target is untouched then, as it is
// when the user stops the ordering or the writing (Cancelled).
RunStatus SaveRegionDnc(const std::string& path, const engine::TRegionArray& regions,
                        const RegionDncHeader& header, const machine::MachineJob& machine = {},
                        Progress& progress = NoProgress());

// The file-name part of a window caption (folders removed), with "(" and ")" written
// as "[" and "]" so that a controller does not read a nested comment.
std::string DncSourceName(const std::string& caption);

inline constexpr const char* kOptimizingText = "Optimizing toolpaths...";
inline constexpr const char* kWritingText = "Writing toolpaths to file...";

}  // namespace quarvel::toolpath
