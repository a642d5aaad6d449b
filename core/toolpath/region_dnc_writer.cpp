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

void appendRegion(std::string& out, double depth, const engine::TMyEntityArray& segments,
                  const std::string& rapidLine) {
    const engine::TMyEntity& s0 = segments.front();
    out.append("G00 X");
    appendFixed(out, s0.x1, 4);
    out.append(" Y");
    appendFixed(out, s0.y1, 4);
    out.append(kCrLf);
    out.append("G01 Z");
    appendLine(out, generalText(-depth));
    for (const engine::TMyEntity& s : segments) {
        out.append("X");
        appendFixed(out, s.x2, 4);
        out.append(" Y");
        appendFixed(out, s.y2, 4);
        out.append(kCrLf);
    }
    out.append(rapidLine);
}

// Header lines; returns the rapid line that also ends every region.
std::string appendHeader(std::string& text, const RegionDncHeader& header) {
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
    return rapidLine;
}

void writeText(std::ostream& out, const std::string& text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace

void WriteRegionDnc(std::ostream& out, const TOutRegionArray& ordered,
                    const RegionDncHeader& header) {
    std::string text;
    const std::string rapidLine = appendHeader(text, header);
    for (std::size_t k = 1; k < ordered.size(); ++k) {
        if (!ordered[k].segments.empty())
            appendRegion(text, ordered[k].depth, ordered[k].segments, rapidLine);
    }
    writeText(out, text);
}

void WriteRegionDnc(std::ostream& out, const engine::TRegionArray& regions,
                    const std::vector<std::size_t>& order, const RegionDncHeader& header) {
    std::string text;
    const std::string rapidLine = appendHeader(text, header);
    for (std::size_t i : order) {
        if (!regions[i].segments.empty())
            appendRegion(text, regions[i].depth, regions[i].segments, rapidLine);
    }
    writeText(out, text);
}

void SaveRegionDnc(const std::string& path, const engine::TRegionArray& regions,
                   const RegionDncHeader& header) {
    const std::vector<std::size_t> order = ToolPathOrder(regions);
    AtomicFile file(path);
    WriteRegionDnc(file.stream(), regions, order, header);
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
