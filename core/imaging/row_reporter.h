#pragma once
// The imaging operations' progress rule: a report about every 5 % of the rows and one
// at the end with 100. The reports only move the gauge: these operations cannot be
// stopped, so the sink is neither pumped nor asked about a stop.
#include <cmath>

#include "progress/progress.h"

namespace quarvel::imaging {

class RowReporter {
public:
    RowReporter(Progress& sink, int rows)
        : sink_(sink), rows_(rows), stride_(rows / 20 > 0 ? rows / 20 : 1) {}
    // Call before working on row y.
    void row(int y) {
        if (y > 0 && y % stride_ == 0) sink_.setPosition(percentOf(y));
    }
    void finish() { sink_.setPosition(100); }

private:
    // done / total * 100, halves to even: the rounding the status bar's rule applies.
    int percentOf(int y) const {
        const double ratio = static_cast<double>(y) / static_cast<double>(rows_) * 100.0;
        return static_cast<int>(std::nearbyint(ratio));
    }

    Progress& sink_;
    int rows_;
    int stride_;
};

}  // namespace quarvel::imaging
