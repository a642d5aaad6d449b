#include "dncview/dnc_import.h"

#include <QMdiSubWindow>
#include <algorithm>

#include "dncview/dnc_view.h"
#include "shell/quarvel_frame.h"

namespace quarvel::app {

namespace {
constexpr int kLeastWidth = 480, kLeastHeight = 320;  // a new viewer's smallest size
}  // namespace

void InstallDncViewer(TQuarvelFrame& frame) {
    frame.setDncImporter([](TQuarvelFrame& f, const QString& path) { ImportDncFile(f, path); });
}

TfrmDnc* ImportDncFile(TQuarvelFrame& frame, const QString& path) {
    auto* window = new TfrmDnc(frame);
    QMdiSubWindow* sub = frame.addChildWindow(window);
    const QSize area = frame.mdiArea().viewport()->size();
    sub->resize(std::max(kLeastWidth, area.width() * 3 / 4),
                std::max(kLeastHeight, area.height() * 3 / 4));
    window->placeSplitter();
    window->Draw3D->setRotation(0);
    window->Draw3D->setElevation(0);
    window->show();
    // Keys go to the new viewer, so that Escape reaches the load even when the command
    // came from a window that ignores Escape.
    window->DncText->setFocus();
    JobState& job = frame.jobState();
    job.CancelRequested = false;
    const DncLoadResult result = window->LoadDnc(path);
    if (job.CancelRequested || result == DncLoadResult::Cancelled) {
        job.CancelRequested = false;
        if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) sub->close();
        return nullptr;
    }
    return window;
}

bool IsDncFileName(const QString& path) {
    for (const char* extension : {".dnc", ".nc", ".ngc", ".gcode", ".tap"}) {
        if (path.endsWith(QLatin1String(extension), Qt::CaseInsensitive)) return true;
    }
    return false;
}

}  // namespace quarvel::app
