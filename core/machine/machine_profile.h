#pragma once
// What a controller expects around the moves of a program (units word, start block,
// spindle start, end block, line ending...) and the limits of the machine it drives,
// which the run-time estimate needs.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvel::machine {

// The units the job's numbers are in. They only choose the units word (G20/G21);
// numbers are never converted.
enum class JobUnits { Millimetre, Inch };

// "mm" or "inch"; nothing for any other text.
std::optional<JobUnits> ParseJobUnits(std::string_view text);
std::string_view JobUnitsName(JobUnits units);

// How a controller reads the P word of G4.
enum class DwellUnit { Seconds, Milliseconds };

// The machine, in millimetres and seconds whatever the job's units.
struct MachineLimits {
    double rapidRate = 2500.0;  // mm/min, along the path of a G0 move
    double maxFeed = 2500.0;    // mm/min; higher F words are cut to it
    double accelerationX = 250.0, accelerationY = 250.0, accelerationZ = 100.0;  // mm/s^2
    double junctionDeviation = 0.01;  // mm, how far a corner may be rounded at speed
};

// Placeholder in a start block line for the units word ("G20", "G21" or nothing).
inline constexpr std::string_view kUnitsPlaceholder = "{units}";

struct MachineProfile {
    std::string name;
    std::string description;
    bool writesUnitsWord = false;  // G20/G21 by the job's units
    // Lines after the first comment line, CR LF not included. When the units word is
    // written and no line holds kUnitsPlaceholder, it gets a line of its own first.
    std::vector<std::string> startBlock;
    bool startsSpindle = false;     // "M3 S<speed>" then "G4 P<dwell>" when dwellSeconds > 0
    double spindleSpeed = 10000.0;  // rpm, unless the job gives one
    double dwellSeconds = 0.0;
    DwellUnit dwellUnit = DwellUnit::Seconds;
    std::vector<std::string> endBlock;
    bool writesComments = true;
    std::string lineEnding = "\r\n";
    int decimals = 4;  // of coordinates, 0..6
    std::string extension = ".nc";
    MachineLimits limits;
};

// Built-ins: "plain" (the writers' own text, unchanged), "grbl", "linuxcnc", "mach3".
const std::vector<MachineProfile>& BuiltInProfiles();
const MachineProfile* FindBuiltInProfile(std::string_view name);
const MachineProfile& PlainProfile();

// True when a profile adds, drops and changes nothing in the writers' text.
bool KeepsWriterText(const MachineProfile& profile);

// Empty when the profile can be used, else what is wrong with it ("decimals: ...").
std::string ProfileFault(const MachineProfile& profile);

}  // namespace quarvel::machine
