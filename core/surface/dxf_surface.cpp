#include "surface/dxf_surface.h"

#include <cstring>
#include <string>
#include <string_view>

#include "surface/rounding.h"
#include "text/finite_output.h"
#include "text/text_format.h"

namespace quarvel::surface {

namespace {

constexpr std::string_view kHead[] = {
    "0",      "SECTION", "2",       "HEADER", "9",      "$ACADVER", "1",      "AC1009",  "0",
    "ENDSEC", "0",       "SECTION", "2",      "TABLES", "0",        "ENDSEC", "0",       "SECTION",
    "2",      "BLOCKS",  "0",       "ENDSEC", "0",      "SECTION",  "2",      "ENTITIES"};
constexpr std::string_view kTail[] = {"0", "ENDSEC", "0", "EOF"};

void appendLine(std::string& text, std::string_view line) {
    text += line;
    text += kCrLf;
}

void appendGroup(std::string& text, std::string_view code, double value) {
    appendLine(text, code);
    appendFixed(text, finiteOutput(value), 4);
    text += kCrLf;
}

struct FaceRow {
    const std::uint8_t* top;
    const std::uint8_t* bottom;
    double yTop;
    double yBottom;
};

double heightOf(const SurfaceJobValues& job, std::uint8_t v) {
    return job.depth - job.depth * v / 255.0;
}

// One row of faces; the running x grows by repeated addition of the step.
void appendFaceRow(std::string& text, const FaceRow& row, const SurfaceJobValues& job) {
    const double scaleX = job.scaleX();
    const std::int64_t lastColumn = job.columns - 1;
    double x = 0.0;
    for (std::int64_t j = 0; j <= job.nx; ++j) {
        const std::int64_t p = roundHalfEvenToInt(x * scaleX);
        if (p >= lastColumn) break;
        std::int64_t q = roundHalfEvenToInt((x + job.stepX) * scaleX);
        if (q > lastColumn) q = lastColumn;
        appendLine(text, "0");
        appendLine(text, "3DFACE");
        appendGroup(text, "10", x);
        appendGroup(text, "20", row.yTop);
        appendGroup(text, "30", heightOf(job, row.top[p]));
        appendGroup(text, "11", x + job.stepX);
        appendGroup(text, "21", row.yTop);
        appendGroup(text, "31", heightOf(job, row.top[q]));
        appendGroup(text, "12", x + job.stepX);
        appendGroup(text, "22", row.yBottom);
        appendGroup(text, "32", heightOf(job, row.bottom[q]));
        appendGroup(text, "13", x);
        appendGroup(text, "23", row.yBottom);
        appendGroup(text, "33", heightOf(job, row.bottom[p]));
        x = x + job.stepX;
    }
}

}  // namespace

TZGrid FramedSurfaceGrid(const TZGrid& levels) {
    TZGrid framed(levels.rows + 2, levels.columns + 2, 255);
    for (int r = 0; r < levels.rows; ++r)
        std::memcpy(framed.row(r + 1) + 1, levels.row(r), static_cast<std::size_t>(levels.columns));
    return framed;
}

RunStatus WriteDxfSurface(std::ostream& out, const TZGrid& grid, const SurfaceJobValues& job,
                          Progress& bar) {
    std::string text;
    text.reserve(std::size_t{1} << 16);
    for (std::string_view line : kHead) appendLine(text, line);

    RunStatus status = RunStatus::Completed;
    RowBarStep progress(bar, job.ny / 20, job.ny / 10);
    const double scaleY = job.scaleY();
    const std::int64_t lastRow = job.rows - 1;
    double b = 0.0;
    for (std::int64_t i = 0; i <= job.ny; ++i) {
        const std::int64_t d = roundHalfEvenToInt(b * scaleY);
        std::int64_t e = roundHalfEvenToInt((b + job.stepY) * scaleY);
        if (d >= lastRow) break;
        if (e > lastRow) e = lastRow;
        if (!progress.step(i, static_cast<int>(d * 100 / job.rows))) {
            status = RunStatus::Cancelled;
            break;
        }
        const FaceRow row{grid.row(static_cast<int>(d)), grid.row(static_cast<int>(e)),
                          job.sizeY - b, job.sizeY - b - job.stepY};
        appendFaceRow(text, row, job);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        text.clear();
        b = b + job.stepY;
    }
    for (std::string_view line : kTail) appendLine(text, line);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return status;
}

}  // namespace quarvel::surface
