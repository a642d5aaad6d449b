#include "surface/surface_jobs.h"

#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "machine/run_time_estimate.h"
#include "surface/dxf_surface.h"
#include "surface/gouge.h"
#include "surface/raster_dnc.h"
#include "surface/raster_gcode.h"
#include "surface/tool_mask.h"
#include "text/atomic_file.h"

namespace quarvel::surface {

namespace {

bool runsGougeControl(const GougeSettings& gouge) { return gouge.enabled && gouge.diameter > 0.0; }

void announce(const JobFeedback& feedback, JobStage stage) {
    if (feedback.stageStarted) feedback.stageStarted(stage);
}

RunStatus gougeStage(TZGrid& grid, const SurfaceJobValues& job, const GougeSettings& gouge,
                     const JobFeedback& feedback) {
    if (!runsGougeControl(gouge)) return RunStatus::Completed;
    announce(feedback, JobStage::GougeControl);
    return ApplyJobGougeControl(grid, job, gouge, feedback.gauge);
}

// Text kept as the pieces it was written in: no piece is ever copied to grow a buffer,
// so the text needs about its own size in memory.
class PieceBuffer final : public std::streambuf {
public:
    std::vector<std::string> pieces;

protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pieces.emplace_back(text, static_cast<std::size_t>(count));
        return count;
    }
    int_type overflow(int_type ch) override {
        if (!traits_type::eq_int_type(ch, traits_type::eof()))
            pieces.emplace_back(1, traits_type::to_char_type(ch));
        return traits_type::not_eof(ch);
    }
};

// The passes, thinned and turned into DNC lines as they come, into `out`.
RunStatus planRasterText(const TZGrid& grid, const SurfaceJobValues& job,
                         const JobFeedback& feedback, std::ostream& out) {
    DncWriter writer(out);
    RapidCompactor compactor(writer);
    if (CreateRasterGCode(grid, job, feedback.bar, compactor, feedback.passStarted) ==
        RunStatus::Cancelled)
        return RunStatus::Cancelled;
    compactor.finish();
    writer.flush();
    return RunStatus::Completed;
}

// The head needs the whole program only for a run-time estimate in a comment.
bool needsWholeProgram(const machine::MachineJob& machine) {
    return !machine::KeepsWriterText(machine.profile) && machine.profile.writesComments;
}

// Head and lines into the file in twenty parts, by the counted-loop rule after one
// check before anything is written.
RunStatus writeRasterFile(std::ostream& out, const DncFileHead& head, double feed,
                          const std::vector<std::string>& pieces, Progress& gauge,
                          const machine::ProgramFrame& frame) {
    if (!gauge.pumpAndCheck()) return RunStatus::Cancelled;
    WriteDncHead(out, head.stamp, head.sourceName, feed, frame);
    constexpr std::size_t kParts = 20;
    LoopProgress loop(gauge, kParts - 1);
    for (std::size_t k = 0; k < kParts; ++k) {
        if (!loop.step(static_cast<std::int64_t>(k))) return RunStatus::Cancelled;
        const std::size_t begin = pieces.size() * k / kParts;
        const std::size_t end = pieces.size() * (k + 1) / kParts;
        for (std::size_t i = begin; i < end; ++i)
            out.write(pieces[i].data(), static_cast<std::streamsize>(pieces[i].size()));
    }
    out.write(frame.closing.data(), static_cast<std::streamsize>(frame.closing.size()));
    return RunStatus::Completed;
}

// The frame for `machine`, with the estimate of the program as it is held when the
// profile has a comment to put it in.
machine::ProgramFrame rasterFrame(const machine::MachineJob& machine, const DncFileHead& head,
                                  double feed, const std::vector<std::string>& pieces) {
    if (!needsWholeProgram(machine)) return machine::FrameFor(machine);
    std::ostringstream text;
    WriteDncHead(text, head.stamp, head.sourceName, feed);
    for (const std::string& piece : pieces) text << piece;
    const machine::RunTimeEstimate estimate =
        machine::EstimateProgramText(text.str(), machine.profile, machine.units);
    return machine::FrameFor(machine, estimate.totalSeconds());
}

}  // namespace

RunStatus ApplyJobGougeControl(TZGrid& grid, const SurfaceJobValues& job,
                               const GougeSettings& gouge, Progress& gauge) {
    if (!runsGougeControl(gouge)) return RunStatus::Completed;
    // Offsets beyond the grid can never reach a cell; leaving them out keeps a huge
    // tool on a small picture from needing a huge mask.
    const MaskClip clip{grid.rows - 1, grid.columns - 1};
    const TToolMask mask =
        BuildToolMask(gouge.kind, gouge.diameter, job.cellX(), job.cellY(), job.depth, clip);
    return ApplyGougeControl(grid, mask, gauge);
}

RunStatus RunDxfSurfaceJob(TZGrid& grid, const SurfaceJobValues& job, const GougeSettings& gouge,
                           const std::string& path, const JobFeedback& feedback,
                           CutShortFile cutShort) {
    AtomicFile file(path);
    const RunStatus gouged = gougeStage(grid, job, gouge, feedback);
    if (gouged == RunStatus::Cancelled && cutShort == CutShortFile::Discard) {
        file.discard();
        return RunStatus::Cancelled;
    }
    announce(feedback, JobStage::Surface);
    const RunStatus written = WriteDxfSurface(file.stream(), grid, job, feedback.bar);
    if (written == RunStatus::Cancelled && cutShort == CutShortFile::Discard) {
        file.discard();
        return RunStatus::Cancelled;
    }
    file.commit();
    return written;
}

RasterJobEnd RunRasterGCodeJob(TZGrid& grid, const SurfaceJobValues& job,
                               const GougeSettings& gouge, const DncFileHead& head,
                               const JobFeedback& feedback, const ChooseFile& chooseFile,
                               const machine::MachineJob& machine) {
    (void)gougeStage(grid, job, gouge, feedback);
    announce(feedback, JobStage::Surface);
    PieceBuffer lines;
    std::ostream text(&lines);
    if (planRasterText(grid, job, feedback, text) == RunStatus::Cancelled)
        return RasterJobEnd::PassesCancelled;
    if (feedback.gauge.cancelRequested()) return RasterJobEnd::Stopped;
    const std::string path = chooseFile ? chooseFile() : std::string();
    if (path.empty()) return RasterJobEnd::NoFileChosen;
    announce(feedback, JobStage::Writing);
    const machine::ProgramFrame frame = rasterFrame(machine, head, job.feed, lines.pieces);
    AtomicFile file(path);
    machine::ProfileOutput output(file.stream(), machine.profile);
    if (writeRasterFile(output.stream(), head, job.feed, lines.pieces, feedback.gauge, frame) ==
        RunStatus::Cancelled) {
        file.discard();
        return RasterJobEnd::WritingCancelled;
    }
    output.finish();
    file.commit();
    return RasterJobEnd::Written;
}

RasterJobEnd RunRasterGCodeJobInto(TZGrid& grid, const SurfaceJobValues& job,
                                   const GougeSettings& gouge, const DncFileHead& head,
                                   const JobFeedback& feedback, const std::string& path,
                                   const machine::MachineJob& machine) {
    if (path.empty() || needsWholeProgram(machine))
        return RunRasterGCodeJob(
            grid, job, gouge, head, feedback, [&path] { return path; }, machine);
    AtomicFile file(path);  // an uncommitted file is removed on every way out
    machine::ProfileOutput output(file.stream(), machine.profile);
    const machine::ProgramFrame frame = machine::FrameFor(machine);
    WriteDncHead(output.stream(), head.stamp, head.sourceName, job.feed, frame);
    (void)gougeStage(grid, job, gouge, feedback);
    announce(feedback, JobStage::Surface);
    if (planRasterText(grid, job, feedback, output.stream()) == RunStatus::Cancelled)
        return RasterJobEnd::PassesCancelled;
    if (feedback.gauge.cancelRequested()) return RasterJobEnd::Stopped;
    announce(feedback, JobStage::Writing);
    if (!feedback.gauge.pumpAndCheck()) return RasterJobEnd::WritingCancelled;
    output.stream().write(frame.closing.data(), static_cast<std::streamsize>(frame.closing.size()));
    output.finish();
    file.commit();
    return RasterJobEnd::Written;
}

}  // namespace quarvel::surface
