#include "toolpath/region_dnc_writer.h"

#include <algorithm>
#include <ctime>
#include <filesystem>

#include "text/atomic_file.h"
#include "text/text_format.h"

namespace quarvel::toolpath {

namespace {

void appendLine(std::string& out, std::string_view text) {
    out.append(text);
    out.append(kCrLf);
}

void appendRegion(std::string& out, const TOutRegion& region, const std::string& rapidLine) {
    const engine::TMyEntity& s0 = region.segments.front();
    out.append("G00 X");
    appendFixed(out, s0.x1, 4);
    out.append(" Y");
    appendFixed(out, s0.y1, 4);
    out.append(kCrLf);
    out.append("G01 Z");
    appendLine(out, generalText(-region.depth));
    for (const engine::TMyEntity& s : region.segments) {
        out.append("X");
        appendFixed(out, s.x2, 4);
        out.append(" Y");
        appendFixed(out, s.y2, 4);
        out.append(kCrLf);
    }
    out.append(rapidLine);
}

}  // namespace

void WriteRegionDnc(std::ostream& out, const TOutRegionArray& ordered,
                    const RegionDncHeader& header) {
    std::string text;
    text.append("( Created ");
    text.append(header.createdText);
    text.append(" From ");
    text.append(header.sourceName);
    appendLine(text, ")");
    appendLine(text, "G90 T0");
    text.append("F");
    appendLine(text, generalText(header.feedRate));
    std::string rapidLine = "G00 Z";
    rapidLine.append(generalText(header.rapidHeight));
    rapidLine.append(kCrLf);
    text.append(rapidLine);
    for (std::size_t k = 1; k < ordered.size(); ++k) {
        if (!ordered[k].segments.empty()) appendRegion(text, ordered[k], rapidLine);
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void SaveRegionDnc(const std::string& path, const engine::TRegionArray& regions,
                   const RegionDncHeader& header) {
    const TOutRegionArray ordered = OrderToolPaths(regions);
    AtomicFile file(path);
    WriteRegionDnc(file.stream(), ordered, header);
    file.commit();
}

std::string DncSourceName(const std::string& caption) {
    std::string name = std::filesystem::path(caption).filename().string();
    std::replace(name.begin(), name.end(), '(', '[');
    std::replace(name.begin(), name.end(), ')', ']');
    return name;
}

std::string CurrentDateTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[32];
    const std::size_t n = std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
    return std::string(buffer, n);
}

}  // namespace quarvel::toolpath
