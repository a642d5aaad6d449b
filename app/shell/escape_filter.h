#pragma once
// Sees every key before the focused control does: Escape sets CancelRequested, which the
// running loop reads after its next pump. Keys typed into a window marked with
// kIgnoresEscape (picture windows, DNC viewers) are not seen.
#include <QObject>

#include "state/job_state.h"

namespace quarvel::app {

inline constexpr char kIgnoresEscape[] = "quarvelIgnoresEscape";

class EscapeFilter : public QObject {
    Q_OBJECT
public:
    EscapeFilter(JobState& job, QObject* parent) : QObject(parent), job_(job) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    JobState& job_;
};

}  // namespace quarvel::app
