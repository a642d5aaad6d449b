#pragma once
// Progress of the imaging operations: (done, total) pairs, sent about every 5 % of the
// rows and once at the end with done == total.
#include <functional>

namespace quarvel::imaging {

using ProgressFn = std::function<void(long done, long total)>;

class RowReporter {
public:
    RowReporter(const ProgressFn& sink, int rows)
        : sink_(sink), rows_(rows), stride_(rows / 20 > 0 ? rows / 20 : 1) {}
    // Call before working on row y.
    void row(int y) {
        if (sink_ && y > 0 && y % stride_ == 0) sink_(y, rows_);
    }
    void finish() {
        if (sink_) sink_(rows_, rows_);
    }

private:
    const ProgressFn& sink_;
    int rows_;
    int stride_;
};

}  // namespace quarvel::imaging
