#pragma once
// The surface job dialog's own progress bar and Cancel button. The job drives the bar
// itself (not the status-bar gauge) with a row threshold that advances by a tenth of the
// row count; the dialog implements this to move its bar and to let a Cancel click in.
#include <cstdint>

namespace quarvel::surface {

class JobBar {
public:
    virtual ~JobBar() = default;
    virtual void setBar(int percent) = 0;  // 0..100
    // Lets pending user input be handled once (where a Cancel click arrives).
    virtual void pump() = 0;
    // True when Cancel was pressed since the last call; the press is used up.
    virtual bool takeCancelPress() = 0;
    // A layer of the raster job begins: 1, 2, ... ("Pass N" in the status bar).
    virtual void passStarted(int /*pass*/) {}
};

class NullJobBar final : public JobBar {
public:
    void setBar(int) override {}
    void pump() override {}
    bool takeCancelPress() override { return false; }
};

// The bar's rule for a loop over rows i = 0, 1, ...: when counter < i, the counter
// advances by `stride` (ny div 10, which may be 0), the bar shows the given percentage,
// input is pumped once and a Cancel press is taken. Index 0 never reports.
class RowBarStep {
public:
    RowBarStep(JobBar& bar, std::int64_t startCounter, std::int64_t stride)
        : bar_(bar), counter_(startCounter), stride_(stride) {}

    // False when Cancel was pressed: leave the loop.
    [[nodiscard]] bool step(std::int64_t i, int percent) {
        if (counter_ >= i) return true;
        counter_ += stride_;
        bar_.setBar(percent);
        bar_.pump();
        return !bar_.takeCancelPress();
    }

private:
    JobBar& bar_;
    std::int64_t counter_;
    std::int64_t stride_;
};

}  // namespace quarvel::surface
