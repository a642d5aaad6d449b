#include "toolpath/region_dnc_writer.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <sstream>

#include "machine/run_time_estimate.h"

#include "text/atomic_file.h"
#include "text/finite_output.h"
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
            text_ = generalText(-finiteOutput(depth));
            valid_ = true;
        }
        return text_;
    }

private:
    double depth_ = 0.0;
    std::string text_;
    bool valid_ = false;
};

// False when the user asked to stop (the region is then left incomplete).
bool appendRegion(TextBlock& out, const std::string& depthText,
                  const engine::SegmentChain& segments, const std::string& rapidLine) {
    // The first end of the first segment, then the second end of every segment.
    const std::vector<Point2>& vertices = segments.points();
    out.pointLine("G00 X", vertices[0].x, " Y", vertices[0].y);
    out.append("G01 Z");
    out.line(depthText);
    for (std::size_t k = 1; k < vertices.size(); ++k) {
        out.pointLine("X", vertices[k].x, " Y", vertices[k].y);
        if (!out.maybeFlush()) return false;
    }
    out.append(rapidLine);
    return true;
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
    text.line(generalText(finiteOutput(header.feedRate)));
    std::string rapidLine = "G00 Z";
    rapidLine.append(generalText(finiteOutput(header.rapidHeight)));
    rapidLine.append(kCrLf);
    text.append(rapidLine);
    text.append(frame.spindleStart);
    return rapidLine;
}

}  // namespace

RunStatus WriteRegionDnc(std::ostream& out, const TOutRegionArray& ordered,
                         const RegionDncHeader& header, const machine::ProgramFrame& frame,
                         Progress& progress) {
    TextBlock text(out, progress);
    DepthText depth;
    const std::string rapidLine = appendHeader(text, header, frame);
    for (std::size_t k = 1; k < ordered.size(); ++k) {
        if (ordered[k].segments.empty()) continue;
        if (!appendRegion(text, depth.of(ordered[k].depth), ordered[k].segments, rapidLine))
            return RunStatus::Cancelled;
    }
    text.append(frame.closing);
    text.flush();
    return RunStatus::Completed;
}

RunStatus WriteRegionDnc(std::ostream& out, const engine::TRegionArray& regions,
                         const std::vector<std::size_t>& order, const RegionDncHeader& header,
                         const machine::ProgramFrame& frame, Progress& progress) {
    TextBlock text(out, progress);
    DepthText depth;
    const std::string rapidLine = appendHeader(text, header, frame);
    for (std::size_t i : order) {
        if (regions[i].segments.empty()) continue;
        if (!appendRegion(text, depth.of(regions[i].depth), regions[i].segments, rapidLine))
            return RunStatus::Cancelled;
    }
    text.append(frame.closing);
    text.flush();
    return RunStatus::Completed;
}

RunStatus SaveRegionDnc(const std::string& path, const engine::TRegionArray& regions,
                        const RegionDncHeader& header, const machine::MachineJob& machine,
                        Progress& progress) {
    const std::vector<std::size_t> order = ToolPathOrder(regions, progress);
    if (progress.cancelRequested()) return RunStatus::Cancelled;
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
    if (WriteRegionDnc(output.stream(), regions, order, header, frame, progress) ==
        RunStatus::Cancelled)
        return RunStatus::Cancelled;  // the unfinished temporary file is removed
    output.finish();
    file.commit();
    return RunStatus::Completed;
}

std::string DncSourceName(const std::string& caption) {
    std::string name = std::filesystem::path(caption).filename().string();
    std::replace(name.begin(), name.end(), '(', '[');
    std::replace(name.begin(), name.end(), ')', ']');
    return name;
}

}  // namespace quarvel::toolpath
