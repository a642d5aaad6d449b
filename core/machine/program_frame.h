#pragma once
// The lines a machine profile puts around a writer's program, and the stream that turns
// the writers' text (CR LF lines, four decimals, comments) into the profile's.
#include <memory>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>

#include "machine/machine_profile.h"

namespace quarvel::machine {

// The machine a program is written for.
struct MachineJob {
    MachineProfile profile = PlainProfile();
    JobUnits units = JobUnits::Millimetre;
    std::optional<double> spindleSpeed;  // rpm; the profile's own when empty

    double spindleRpm() const { return spindleSpeed.value_or(profile.spindleSpeed); }
};

// Text the writers insert, in CR LF lines like their own (the profile's stream converts
// them). All empty for a profile that keeps the writers' text.
struct ProgramFrame {
    std::string opening;       // after the writer's first (comment) line
    std::string spindleStart;  // after the writer's head, before the first move
    std::string closing;       // after the last line
};

// The frame of `job`. A known run time (seconds) goes into the opening as a comment
// when the profile writes comments.
ProgramFrame FrameFor(const MachineJob& job, std::optional<double> runSeconds = std::nullopt);

// One line of writer text (no line end) as the profile writes it: coordinates (X Y Z I
// J words) with the profile's decimals. Nothing when the profile leaves comments out
// and the line is a comment.
std::optional<std::string> AdaptLine(std::string_view line, const MachineProfile& profile);

// Where a writer writes for a profile: the target itself when the profile keeps the
// writers' text, else a stream that adapts each line and ends it the profile's way.
class ProfileOutput {
public:
    ProfileOutput(std::ostream& target, const MachineProfile& profile);
    ~ProfileOutput();
    ProfileOutput(const ProfileOutput&) = delete;
    ProfileOutput& operator=(const ProfileOutput&) = delete;

    std::ostream& stream() { return stream_ ? *stream_ : target_; }
    // Hands on a last line that has no line end. Call before the target is closed.
    void finish();

private:
    class LineFilter;
    std::ostream& target_;
    std::unique_ptr<LineFilter> filter_;
    std::unique_ptr<std::ostream> stream_;
};

}  // namespace quarvel::machine
