#include "toolpath/polyline_dxf_writer.h"

#include "text/atomic_file.h"
#include "text/finite_output.h"
#include "text/text_format.h"
#include "toolpath/text_block.h"

namespace quarvel::toolpath {

namespace {

constexpr const char* kHead[] = {"0", "SECTION", "2", "HEADER",  "9", "$ACADVER", "1", "AC1009",
                                 "0", "ENDSEC",  "0", "SECTION", "2", "TABLES",   "0", "ENDSEC",
                                 "0", "SECTION", "2", "BLOCKS",  "0", "ENDSEC",   "0", "SECTION",
                                 "2", "ENTITIES"};

// `depthLines`: the group code 30 and the depth, lines of their own. False when the user
// asked to stop.
bool appendVertex(TextBlock& out, double x, double y, const std::string& depthLines) {
    out.pointLine("0\r\nVERTEX\r\n8\r\n0\r\n10\r\n", x, "\r\n20\r\n", y, depthLines);
    return out.maybeFlush();
}

}  // namespace

RunStatus WritePolylineDxf(std::ostream& out, const engine::TRegionArray& regions,
                           Progress& progress) {
    TextBlock text(out, progress);
    for (const char* item : kHead) text.line(item);
    for (std::size_t i = 1; i < regions.size(); ++i) {
        const engine::TRegion& r = regions[i];
        if (r.segments.empty()) continue;
        for (const char* item : {"0", "POLYLINE", "8", "0", "66", "1"}) text.line(item);
        // the same on every vertex
        const std::string depth = "30\r\n" + fixedText(finiteOutput(r.depth), 4) + "\r\n";
        // The first end of the first segment, then the second end of every segment.
        for (const Point2& p : r.segments.points())
            if (!appendVertex(text, p.x, p.y, depth)) return RunStatus::Cancelled;
        text.line("0");
        text.line("SEQEND");
    }
    for (const char* item : {"0", "ENDSEC", "0", "EOF"}) text.line(item);
    text.flush();
    return RunStatus::Completed;
}

RunStatus SavePolylineDxf(const std::string& path, const engine::TRegionArray& regions,
                          Progress& progress) {
    AtomicFile file(path);
    if (WritePolylineDxf(file.stream(), regions, progress) == RunStatus::Cancelled)
        return RunStatus::Cancelled;  // the unfinished temporary file is removed
    file.commit();
    return RunStatus::Completed;
}

}  // namespace quarvel::toolpath
