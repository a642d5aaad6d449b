#include "surface/dxf_surface.h"

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "surface/rounding.h"
#include "text/fixed_text.h"
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

constexpr std::size_t kBlockBytes = std::size_t{1} << 16;
// The longest face: two lines, then twelve groups of a code and the longest fixed text.
constexpr std::size_t kFaceRoom = 11 + 12 * (4 + kFixed4Room + 2);

// Faces are put together in place in a block that goes to the stream when it is full.
class FaceBlock {
public:
    explicit FaceBlock(std::ostream& out) : out_(out), bytes_(new char[kBlockBytes + kFaceRoom]) {}
    // Room for one face; the face ends where done() is told.
    char* room() { return bytes_.get() + size_; }
    void done(const char* end) {
        size_ = static_cast<std::size_t>(end - bytes_.get());
        if (size_ >= kBlockBytes) flush();
    }
    void flush() {
        out_.write(bytes_.get(), static_cast<std::streamsize>(size_));
        size_ = 0;
    }

private:
    std::ostream& out_;
    std::unique_ptr<char[]> bytes_;
    std::size_t size_ = 0;
};

// Puts "<code>" CR LF "<value %.4f>" CR LF at `p`; throws NonFiniteOutput as putFixed4.
char* putGroup(char* p, const char (&code)[3], double value) {
    std::memcpy(p, code, 2);
    std::memcpy(p + 2, "\r\n", 2);
    p = putFixed4(p + 4, value);
    std::memcpy(p, "\r\n", 2);
    return p + 2;
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
void putFaceRow(FaceBlock& block, const FaceRow& row, const SurfaceJobValues& job) {
    const double scaleX = job.scaleX();
    const std::int64_t lastColumn = job.columns - 1;
    double x = 0.0;
    for (std::int64_t j = 0; j <= job.nx; ++j) {
        const std::int64_t p = roundHalfEvenToInt(x * scaleX);
        if (p >= lastColumn) break;
        std::int64_t q = roundHalfEvenToInt((x + job.stepX) * scaleX);
        if (q > lastColumn) q = lastColumn;
        char* at = block.room();
        std::memcpy(at, "0\r\n3DFACE\r\n", 11);
        at = putGroup(at + 11, "10", x);
        at = putGroup(at, "20", row.yTop);
        at = putGroup(at, "30", heightOf(job, row.top[p]));
        at = putGroup(at, "11", x + job.stepX);
        at = putGroup(at, "21", row.yTop);
        at = putGroup(at, "31", heightOf(job, row.top[q]));
        at = putGroup(at, "12", x + job.stepX);
        at = putGroup(at, "22", row.yBottom);
        at = putGroup(at, "32", heightOf(job, row.bottom[q]));
        at = putGroup(at, "13", x);
        at = putGroup(at, "23", row.yBottom);
        at = putGroup(at, "33", heightOf(job, row.bottom[p]));
        block.done(at);
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
    for (std::string_view line : kHead) appendLine(text, line);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));

    RunStatus status = RunStatus::Completed;
    RowBarStep progress(bar, job.ny / 20, job.ny / 10);
    const double scaleY = job.scaleY();
    const std::int64_t lastRow = job.rows - 1;
    FaceBlock block(out);
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
        putFaceRow(block, row, job);
        b = b + job.stepY;
    }
    block.flush();
    text.clear();
    for (std::string_view line : kTail) appendLine(text, line);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return status;
}

}  // namespace quarvel::surface
