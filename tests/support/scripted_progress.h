#pragma once
// A progress sink for tests: records every gauge position and pump, and cancels at the
// k-th report when asked to.
#include <vector>

#include "progress/progress.h"

namespace quarvel::test {

class ScriptedProgress final : public Progress {
public:
    // cancelAtReport: 1-based report number at which the cancel flag becomes set; 0 never.
    explicit ScriptedProgress(int cancelAtReport = 0) : cancelAt_(cancelAtReport) {}

    void setPosition(int percent) override { positions.push_back(percent); }
    void pump() override {
        ++pumps;
        if (cancelAt_ > 0 && pumps >= cancelAt_) cancelled = true;
    }
    bool cancelRequested() const override { return cancelled; }

    std::vector<int> positions;
    int pumps = 0;
    bool cancelled = false;

private:
    int cancelAt_;
};

}  // namespace quarvel::test
