#pragma once
// Thinning of the raster move list and the DNC (G-code) text it is written as.
#include <ctime>
#include <memory>
#include <ostream>
#include <string>

#include "machine/program_frame.h"
#include "progress/progress.h"
#include "surface/raster_move.h"

namespace quarvel::surface {

// Thins the raster path: keeps the first and the last move of every run of consecutive
// rapid moves at one Z, passing the rest on to `next` as they come. finish() passes on
// the held move.
class RapidCompactor final : public MoveSink {
public:
    explicit RapidCompactor(MoveSink& next) : next_(next) {}
    void add(const TRasterMove& move) override;
    void finish();

private:
    MoveSink& next_;
    TRasterMove held_;
    bool holding_ = false;
};

// Writes moves as G-code lines ending in CR LF: "G00"/"G01" only when the kind changes,
// then " X", " Y", " Z" with "%.4f" for each coordinate that differs from the previous
// move's (the first move is compared with 0, 0, 0). A move that changes nothing writes
// no line; a line without a G word begins with a blank.
class DncWriter final : public MoveSink {
public:
    explicit DncWriter(std::ostream& out);
    ~DncWriter() override { flush(); }
    void add(const TRasterMove& move) override;
    void flush();

private:
    std::ostream& out_;
    // Lines are put together in place; handed on when a block is full.
    std::unique_ptr<char[]> block_;
    char* end_;
    TRasterMove last_{-1, 0.0, 0.0, 0.0};
};

// The two head lines: "( Created <stamp> From <source>)" and "G90 T0 F<feed %.4f>".
// "(" and ")" in the source name become "[" and "]" (a controller would read them as a
// nested comment), and line breaks become blanks. A machine's opening goes between the
// two lines, its spindle start after them.
void WriteDncHead(std::ostream& out, const std::string& stamp, const std::string& sourceName,
                  double feed, const machine::ProgramFrame& frame = {});

// Head, then the moves. Pumps once and checks for a stop first (nothing is written
// then), then follows the counted-loop rule over the moves. Cancelled: the text holds
// the lines written so far; callers writing a file discard it.
RunStatus WriteRasterDnc(std::ostream& out, const std::string& stamp, const std::string& sourceName,
                         const TGCode2Array& moves, double feed, Progress& progress);

}  // namespace quarvel::surface
