#include "machine/program_frame.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quarvel::machine {
namespace {

MachineJob jobFor(std::string_view name, JobUnits units = JobUnits::Millimetre) {
    MachineJob job;
    job.profile = *FindBuiltInProfile(name);
    job.units = units;
    return job;
}

TEST(FrameFor, PlainAddsNothingEvenWithAnEstimate) {
    const ProgramFrame frame = FrameFor(jobFor("plain"), 12.0);
    EXPECT_EQ(frame.opening, "");
    EXPECT_EQ(frame.spindleStart, "");
    EXPECT_EQ(frame.closing, "");
}

TEST(FrameFor, GrblUnitsLineThenModes) {
    MachineJob job = jobFor("grbl", JobUnits::Inch);
    job.spindleSpeed = 12000.0;
    const ProgramFrame frame = FrameFor(job, 75.0);
    EXPECT_EQ(frame.opening, "( Estimated run time 0:01:15 on grbl )\r\nG20\r\nG90 G94\r\n");
    EXPECT_EQ(frame.spindleStart, "M3 S12000\r\nG4 P2\r\n");
    EXPECT_EQ(frame.closing, "M5\r\nM2\r\n");
}

TEST(FrameFor, LinuxCncUnitsWordInsideStartBlock) {
    const ProgramFrame frame = FrameFor(jobFor("linuxcnc"));
    EXPECT_EQ(frame.opening, "G17 G21 G40 G49 G54 G80 G90 G94\r\n");
    EXPECT_EQ(frame.closing, "M5\r\nM2\r\n");
}

TEST(FrameFor, NoUnitsWordLeavesNoGap) {
    MachineJob job = jobFor("linuxcnc");
    job.profile.writesUnitsWord = false;
    EXPECT_EQ(FrameFor(job).opening, "G17 G40 G49 G54 G80 G90 G94\r\n");
}

TEST(FrameFor, MillisecondDwellAndNoComments) {
    MachineJob job = jobFor("mach3");
    job.profile.dwellUnit = DwellUnit::Milliseconds;
    job.profile.dwellSeconds = 1.5;
    job.profile.writesComments = false;
    const ProgramFrame frame = FrameFor(job, 10.0);
    EXPECT_EQ(frame.opening, "G17 G21 G40 G49 G80 G90 G94\r\n");
    EXPECT_EQ(frame.spindleStart, "M3 S10000\r\nG4 P1500\r\n");
    EXPECT_EQ(frame.closing, "M5\r\nM30\r\n");
}

TEST(AdaptLine, RoundsCoordinatesOnlyAndDropsCommentsWhenAsked) {
    MachineProfile p = *FindBuiltInProfile("grbl");
    p.decimals = 2;
    EXPECT_EQ(*AdaptLine("G01 X1.2345 Y-0.0010 Z3.0000", p), "G01 X1.23 Y-0.00 Z3.00");
    EXPECT_EQ(*AdaptLine("G90 T0 F12.5000", p), "G90 T0 F12.5000");
    EXPECT_EQ(*AdaptLine("( Created x)", p), "( Created x)");
    p.writesComments = false;
    EXPECT_FALSE(AdaptLine("( Created x)", p));
}

TEST(ProfileOutput, ConvertsLineEndsAcrossWritesAndFinishesLastLine) {
    std::ostringstream target;
    MachineProfile p = *FindBuiltInProfile("grbl");
    p.writesComments = false;
    ProfileOutput output(target, p);
    output.stream() << "( c )\r\nG00 X1.0";
    output.stream() << "000\r\n";
    output.stream() << "M2";
    output.finish();
    EXPECT_EQ(target.str(), "G00 X1.0000\nM2");
}

TEST(ProfileOutput, PlainWritesStraightThrough) {
    std::ostringstream target;
    ProfileOutput output(target, PlainProfile());
    EXPECT_EQ(&output.stream(), &target);
}

TEST(ProfileFault, RefusesLimitsAndFormatsThatCannotWork) {
    MachineProfile p = PlainProfile();
    EXPECT_EQ(ProfileFault(p), "");
    p.decimals = 9;
    EXPECT_NE(ProfileFault(p).find("decimals"), std::string::npos);
    p = PlainProfile();
    p.limits.accelerationZ = 0.0;
    EXPECT_NE(ProfileFault(p).find("acceleration"), std::string::npos);
    for (const MachineProfile& builtIn : BuiltInProfiles()) EXPECT_EQ(ProfileFault(builtIn), "");
}

TEST(BuiltInProfiles, GrblWritesNoWordItRejects) {
    const MachineJob job = jobFor("grbl");
    const ProgramFrame frame = FrameFor(job, 1.0);
    const std::string all = frame.opening + frame.spindleStart + frame.closing;
    for (const char* word : {"G64", "G91.1", "M6", "G54"})
        EXPECT_EQ(all.find(word), std::string::npos) << word;
    EXPECT_TRUE(KeepsWriterText(PlainProfile()));
    EXPECT_FALSE(KeepsWriterText(job.profile));
}

}  // namespace
}  // namespace quarvel::machine
