#include "machine/machine_profile.h"

#include <algorithm>
#include <cmath>

namespace quarvel::machine {

namespace {

MachineProfile plainProfile() {
    MachineProfile p;
    p.name = "plain";
    p.description = "The program's own text: no units word, spindle or program end";
    p.extension = std::string(".dnc");
    return p;
}

// GRBL 1.1 rejects G64, G91.1 and M6 among others; it reads G4 P in seconds.
MachineProfile grblProfile() {
    MachineProfile p;
    p.name = "grbl";
    p.description = "GRBL 1.1 (hobby routers and laser cutters)";
    p.writesUnitsWord = true;
    p.startBlock = {"G90 G94"};
    p.startsSpindle = true;
    p.dwellSeconds = 2.0;
    p.endBlock = {"M5", "M2"};
    p.lineEnding = std::string("\n");
    p.limits = {3000.0, 3000.0, 300.0, 300.0, 100.0, 0.01};
    return p;
}

MachineProfile linuxCncProfile() {
    MachineProfile p;
    p.name = "linuxcnc";
    p.description = "LinuxCNC (rs274ngc interpreter)";
    p.writesUnitsWord = true;
    p.startBlock = {"G17 {units} G40 G49 G54 G80 G90 G94"};
    p.startsSpindle = true;
    p.dwellSeconds = 2.0;
    p.endBlock = {"M5", "M2"};
    p.lineEnding = std::string("\n");
    p.extension = std::string(".ngc");
    p.limits = {5000.0, 5000.0, 500.0, 500.0, 300.0, 0.01};
    return p;
}

// Mach3 reads G4 P in seconds unless its "G04 Dwell param in Ms" option is set.
MachineProfile mach3Profile() {
    MachineProfile p;
    p.name = "mach3";
    p.description = "Mach3";
    p.writesUnitsWord = true;
    p.startBlock = {"G17 {units} G40 G49 G80 G90 G94"};
    p.startsSpindle = true;
    p.dwellSeconds = 2.0;
    p.endBlock = {"M5", "M30"};
    p.extension = std::string(".tap");
    p.limits = {4000.0, 4000.0, 400.0, 400.0, 200.0, 0.01};
    return p;
}

bool positiveFinite(double v) { return std::isfinite(v) && v > 0.0; }

}  // namespace

std::optional<JobUnits> ParseJobUnits(std::string_view text) {
    if (text == "mm") return JobUnits::Millimetre;
    if (text == "inch") return JobUnits::Inch;
    return std::nullopt;
}

std::string_view JobUnitsName(JobUnits units) { return units == JobUnits::Inch ? "inch" : "mm"; }

const std::vector<MachineProfile>& BuiltInProfiles() {
    static const std::vector<MachineProfile> profiles = {plainProfile(), grblProfile(),
                                                         linuxCncProfile(), mach3Profile()};
    return profiles;
}

const MachineProfile* FindBuiltInProfile(std::string_view name) {
    const auto& all = BuiltInProfiles();
    const auto it = std::find_if(all.begin(), all.end(),
                                 [name](const MachineProfile& p) { return p.name == name; });
    return it == all.end() ? nullptr : &*it;
}

const MachineProfile& PlainProfile() { return BuiltInProfiles().front(); }

bool KeepsWriterText(const MachineProfile& p) {
    return !p.writesUnitsWord && p.startBlock.empty() && !p.startsSpindle && p.endBlock.empty() &&
           p.writesComments && p.lineEnding == "\r\n" && p.decimals == 4;
}

std::string ProfileFault(const MachineProfile& p) {
    if (p.decimals < 0 || p.decimals > 6) return "decimals: must be 0 to 6";
    if (p.lineEnding != "\n" && p.lineEnding != "\r\n") return "line_ending: must be LF or CR LF";
    if (p.startsSpindle && !positiveFinite(p.spindleSpeed)) return "spindle_speed: must be above 0";
    if (!std::isfinite(p.dwellSeconds) || p.dwellSeconds < 0.0) return "dwell: must be 0 or more";
    const MachineLimits& l = p.limits;
    if (!positiveFinite(l.rapidRate)) return "rapid_rate: must be above 0";
    if (!positiveFinite(l.maxFeed)) return "max_feed: must be above 0";
    if (!positiveFinite(l.accelerationX) || !positiveFinite(l.accelerationY) ||
        !positiveFinite(l.accelerationZ))
        return "acceleration: must be above 0";
    if (!positiveFinite(l.junctionDeviation)) return "junction_deviation: must be above 0";
    return {};
}

}  // namespace quarvel::machine
