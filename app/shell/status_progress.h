#pragma once
// Binds the core's progress interface to the status bar: the gauge shows the position,
// one pass of the event loop delivers Escape and button clicks, and the job state's
// CancelRequested answers whether to stop.
#include <cstdint>

#include "progress/progress.h"
#include "shell/status_panels.h"
#include "state/job_state.h"

namespace quarvel::app {

class StatusProgress final : public quarvel::Progress {
public:
    StatusProgress(StatusPanels& panels, const JobState& job) : panels_(panels), job_(job) {}
    void setPosition(int percent) override;
    void pump() override;
    bool cancelRequested() const override { return job_.CancelRequested; }

private:
    StatusPanels& panels_;
    const JobState& job_;
};

// The imaging component's progress report (done of total): advances ProgressCounter in
// steps of 10 while the gauge moves; at 96 % or more hides the gauge and writes "Done"
// in the detail panel.
void ShowImagingProgress(StatusPanels& panels, JobState& job, std::int64_t done,
                         std::int64_t total);

}  // namespace quarvel::app
