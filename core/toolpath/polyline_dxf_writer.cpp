#include "toolpath/polyline_dxf_writer.h"

#include "text/atomic_file.h"
#include "text/text_format.h"

namespace quarvel::toolpath {

namespace {

constexpr const char* kHead[] = {
    "0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1009", "0", "ENDSEC",
    "0", "SECTION", "2", "TABLES", "0", "ENDSEC",
    "0", "SECTION", "2", "BLOCKS", "0", "ENDSEC",
    "0", "SECTION", "2", "ENTITIES"};

void appendLine(std::string& out, std::string_view text) {
    out.append(text);
    out.append(kCrLf);
}

void appendVertex(std::string& out, double x, double y, double depth) {
    for (const char* item : {"0", "VERTEX", "8", "0", "10"}) appendLine(out, item);
    appendFixed(out, x, 4);
    out.append(kCrLf);
    appendLine(out, "20");
    appendFixed(out, y, 4);
    out.append(kCrLf);
    appendLine(out, "30");
    appendFixed(out, depth, 4);
    out.append(kCrLf);
}

}  // namespace

void WritePolylineDxf(std::ostream& out, const engine::TRegionArray& regions) {
    std::string text;
    for (const char* item : kHead) appendLine(text, item);
    for (std::size_t i = 1; i < regions.size(); ++i) {
        const engine::TRegion& r = regions[i];
        if (r.segments.empty()) continue;
        for (const char* item : {"0", "POLYLINE", "8", "0", "66", "1"}) appendLine(text, item);
        appendVertex(text, r.segments.front().x1, r.segments.front().y1, r.depth);
        for (const engine::TMyEntity& s : r.segments) appendVertex(text, s.x2, s.y2, r.depth);
        appendLine(text, "0");
        appendLine(text, "SEQEND");
    }
    for (const char* item : {"0", "ENDSEC", "0", "EOF"}) appendLine(text, item);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void SavePolylineDxf(const std::string& path, const engine::TRegionArray& regions) {
    AtomicFile file(path);
    WritePolylineDxf(file.stream(), regions);
    file.commit();
}

}  // namespace quarvel::toolpath
