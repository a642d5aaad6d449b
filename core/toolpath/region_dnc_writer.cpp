#include "toolpath/region_dnc_writer.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <sstream>

#include "machine/run_time_estimate.h"

#include "text/atomic_file.h"
#include "text/text_format.h"
#include "toolpath/text_block.h"

namespace quarvel::toolpath {

namespace {

// The plunge depth text of consecutive regions is nearly always the same value.
class DepthText {
public:
    const std::string& of(double depth) {
        if (!valid_ || std::memcmp(&depth, &depth_, sizeof depth) != 0) {
            depth_ = depth;
            text_ = generalText(-depth);
            valid_ = true;
        }
        return text_;
    }

private:
    double depth_ = 0.0;
    std::string text_;
    bool valid_ = false;
};

void appendRegion(TextBlock& out, const std::string& depthText,
                  const engine::TMyEntityArray& segments, const std::string& rapidLine) {
    const engine::TMyEntity& s0 = segments.front();
    out.pointLine("G00 X", s0.x1, " Y", s0.y1);
    out.append("G01 Z");
    out.line(depthText);
    for (const engine::TMyEntity& s : segments) {
        out.pointLine("X", s.x2, " Y", s.y2);
        out.maybeFlush();
    }
    out.append(rapidLine);
}

// Header lines; returns the rapid line that also ends every region.
std::string appendHeader(TextBlock& text, const RegionDncHeader& header,
                         const machine::ProgramFrame& frame) {
    text.append("( Created ");
    text.append(header.createdText);
    text.append(" From ");
    text.append(header.sourceName);
    text.line(")");
    text.append(frame.opening);
    text.line("G90 T0");
    text.append("F");
    text.line(generalText(header.feedRate));
    std::string rapidLine = "G00 Z";
    rapidLine.append(generalText(header.rapidHeight));
    rapidLine.append(kCrLf);
    text.append(rapidLine);
    text.append(frame.spindleStart);
    return rapidLine;
}

}  // namespace

void WriteRegionDnc(std::ostream& out, const TOutRegionArray& ordered,
                    const RegionDncHeader& header, const machine::ProgramFrame& frame) {
    TextBlock text(out);
    DepthText depth;
    const std::string rapidLine = appendHeader(text, header, frame);
    for (std::size_t k = 1; k < ordered.size(); ++k) {
        if (!ordered[k].segments.empty())
            appendRegion(text, depth.of(ordered[k].depth), ordered[k].segments, rapidLine);
    }
    text.append(frame.closing);
    text.flush();
}

void WriteRegionDnc(std::ostream& out, const engine::TRegionArray& regions,
                    const std::vector<std::size_t>& order, const RegionDncHeader& header,
                    const machine::ProgramFrame& frame) {
    TextBlock text(out);
    DepthText depth;
    const std::string rapidLine = appendHeader(text, header, frame);
    for (std::size_t i : order) {
        if (!regions[i].segments.empty())
            appendRegion(text, depth.of(regions[i].depth), regions[i].segments, rapidLine);
    }
    text.append(frame.closing);
    text.flush();
}

void SaveRegionDnc(const std::string& path, const engine::TRegionArray& regions,
                   const RegionDncHeader& header, const machine::MachineJob& machine) {
    const std::vector<std::size_t> order = ToolPathOrder(regions);
    machine::ProgramFrame frame = machine::FrameFor(machine);
    if (!machine::KeepsWriterText(machine.profile) && machine.profile.writesComments) {
        // The estimate comes from the program as the plain writer gives it.
        std::ostringstream plain;
        WriteRegionDnc(plain, regions, order, header);
        const machine::RunTimeEstimate estimate =
            machine::EstimateProgramText(plain.str(), machine.profile, machine.units);
        frame = machine::FrameFor(machine, estimate.totalSeconds());
    }
    AtomicFile file(path);
    machine::ProfileOutput output(file.stream(), machine.profile);
    WriteRegionDnc(output.stream(), regions, order, header, frame);
    output.finish();
    file.commit();
}

std::string DncSourceName(const std::string& caption) {
    std::string name = std::filesystem::path(caption).filename().string();
    std::replace(name.begin(), name.end(), '(', '[');
    std::replace(name.begin(), name.end(), ')', ']');
    return name;
}

}  // namespace quarvel::toolpath
