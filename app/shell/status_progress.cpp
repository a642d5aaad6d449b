#include "shell/status_progress.h"

#include <QCoreApplication>

#include "progress/gauge.h"

namespace quarvel::app {

void StatusProgress::setPosition(int percent) { panels_.gauge().setPosition(percent); }

void StatusProgress::pump() { QCoreApplication::processEvents(); }

void ShowImagingProgress(StatusPanels& panels, JobState& job, std::int64_t done,
                         std::int64_t total) {
    const ImagingProgressEffect effect = ImagingProgressStep(job.ProgressCounter, done, total);
    if (effect.moveGauge) {
        panels.gauge().setGaugeEnabled(true);
        panels.gauge().setPosition(effect.position);
        panels.gauge().repaintNow();
    }
    if (effect.finished) {
        panels.gauge().setGaugeEnabled(false);
        panels.setDetail(QStringLiteral("Done"));
        panels.repaintNow();
    }
}

}  // namespace quarvel::app
