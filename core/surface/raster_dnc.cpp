#include "surface/raster_dnc.h"

#include <cstring>
#include <iomanip>
#include <locale>
#include <sstream>

#include "text/finite_output.h"
#include "text/fixed_text.h"
#include "text/text_format.h"

namespace quarvel::surface {

namespace {

constexpr std::size_t kFlushBytes = std::size_t{1} << 16;
// The longest line: a G word and three coordinates of the longest fixed text.
constexpr std::size_t kLineRoom = 3 + 3 * (2 + kFixed4Room) + 2;

}  // namespace

void RapidCompactor::add(const TRasterMove& m) {
    if (m.kind == kRapidMove) {
        if (!holding_) {
            next_.add(m);
            held_ = m;
            holding_ = true;
        } else if (m.z != held_.z) {  // exact: a run is rapids at the very same Z
            next_.add(held_);
            next_.add(m);
            held_ = m;
            holding_ = false;
        } else {
            held_ = m;
        }
        return;
    }
    if (holding_) {
        next_.add(held_);
        holding_ = false;
    }
    next_.add(m);
}

void RapidCompactor::finish() {
    if (holding_) next_.add(held_);
    holding_ = false;
}

DncWriter::DncWriter(std::ostream& out)
    : out_(out), block_(new char[kFlushBytes + kLineRoom]), end_(block_.get()) {}

void DncWriter::add(const TRasterMove& m) {
    char* p = end_;
    if (m.kind != last_.kind) {
        std::memcpy(p, m.kind == kRapidMove ? "G00" : "G01", 3);
        p += 3;
    }
    // Exact comparisons: a coordinate is written whenever its value changed at all.
    if (m.x != last_.x) {
        std::memcpy(p, " X", 2);
        p = putFixed4(p + 2, m.x);
    }
    if (m.y != last_.y) {
        std::memcpy(p, " Y", 2);
        p = putFixed4(p + 2, m.y);
    }
    if (m.z != last_.z) {
        std::memcpy(p, " Z", 2);
        p = putFixed4(p + 2, m.z);
    }
    if (p != end_) {
        std::memcpy(p, "\r\n", 2);
        end_ = p + 2;
    }
    last_ = m;
    if (end_ - block_.get() >= static_cast<std::ptrdiff_t>(kFlushBytes)) flush();
}

void DncWriter::flush() {
    out_.write(block_.get(), end_ - block_.get());
    end_ = block_.get();
}

void WriteDncHead(std::ostream& out, const std::string& stamp, const std::string& sourceName,
                  double feed, const machine::ProgramFrame& frame) {
    std::string source = sourceName;
    for (char& ch : source) {
        if (ch == '(') ch = '[';
        if (ch == ')') ch = ']';
        if (ch == '\r' || ch == '\n') ch = ' ';
    }
    // Appended piece by piece: GCC 12 warns falsely on a chain of string additions.
    std::string head = "( Created ";
    head += stamp;
    head += " From ";
    head += source;
    head += ")";
    head += kCrLf;
    head += frame.opening;
    head += "G90 T0 F";
    appendFixed(head, finiteOutput(feed), 4);
    head += kCrLf;
    head += frame.spindleStart;
    out.write(head.data(), static_cast<std::streamsize>(head.size()));
}

RunStatus WriteRasterDnc(std::ostream& out, const std::string& stamp, const std::string& sourceName,
                         const TGCode2Array& moves, double feed, Progress& progress) {
    if (!progress.pumpAndCheck()) return RunStatus::Cancelled;
    WriteDncHead(out, stamp, sourceName, feed);
    DncWriter writer(out);
    LoopProgress loop(progress, static_cast<std::int64_t>(moves.size()) - 1);
    for (std::size_t i = 0; i < moves.size(); ++i) {
        if (!loop.step(static_cast<std::int64_t>(i))) return RunStatus::Cancelled;
        writer.add(moves[i]);
    }
    return RunStatus::Completed;
}

}  // namespace quarvel::surface
