#pragma once
// How long a G-code program takes on a machine that accelerates: every straight move
// (arcs as short chords) gets a trapezoid speed profile, and the speed through the
// corner between two moves is limited the way GRBL's planner limits it (junction
// deviation), planned with a backward and a forward pass over a buffer of the last 16
// moves, as GRBL plans.
#include <string>
#include <string_view>

#include "gcode/gcode_move.h"
#include "machine/machine_profile.h"

namespace quarvel::machine {

struct RunTimeEstimate {
    double rapidSeconds = 0.0;
    double feedSeconds = 0.0;   // straight feed moves and arcs
    double dwellSeconds = 0.0;  // the spindle start's dwell, when the profile writes one
    double totalSeconds() const { return rapidSeconds + feedSeconds + dwellSeconds; }
};

// The motion time of a read program on a machine with `limits` (in mm) when the
// program's numbers are in `units`. Starts and ends at rest at the origin. Moves before
// any motion word move the position without taking time, like the summary's lengths;
// a feed move with no feed in force, or a feed above the machine's, runs at its max
// feed. Rapids run at the rapid rate. Zero-length moves take no time and leave the
// corner between their neighbours as it is.
RunTimeEstimate EstimateRunTime(const gcode::DncReadResult& read, const MachineLimits& limits,
                                JobUnits units);

// The same for G-code text, plus the profile's dwell when it starts the spindle.
RunTimeEstimate EstimateProgramText(std::string_view text, const MachineProfile& profile,
                                    JobUnits units);

// "H:MM:SS", seconds rounded to the nearest whole.
std::string DurationText(double seconds);

}  // namespace quarvel::machine
