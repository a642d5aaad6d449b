// Create, Undo and Clear of the Create Regions dialog.
#include <QLineEdit>
#include <QPushButton>

#include "meshview/dxf_view.h"
#include "meshview/toolpaths_dialog.h"
#include "shell/busy_cursor.h"
#include "shell/quarvel_frame.h"
#include "shell/status_progress.h"
#include "text/error.h"

namespace quarvel::app {

namespace {
QString qText(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

TfrmDXFView* TfrmToolPaths::boundWindow() {
    if (!bound_) return nullptr;  // opened for no mesh window: nothing at all happens
    if (!target_) frame_.status().setMessage(kNoMeshWindowText);
    return target_;
}

// A field that does not hold a number stops Create before anything changes.
bool TfrmToolPaths::readFields(bool pictureRun, engine::RegionRunParams& params) {
    try {
        params = form_.readParams(pictureRun);
        return true;
    } catch (const engine::RegionFieldError& e) {
        frame_.prompts().message(this, MessageKind::Warning, qText(e.what()));
        QLineEdit* edit = fieldEdit(e.field());
        edit->setFocus();
        edit->selectAll();
        return false;
    }
}

void TfrmToolPaths::Button1Click() {
    TfrmDXFView* window = running_ ? nullptr : boundWindow();
    if (!window) return;
    const bool pictureRun = window->kind() == MeshWindowKind::VectorConversion;
    engine::RegionRunParams params;
    if (!readFields(pictureRun, params)) return;
    JobState& job = frame_.jobState();
    job.CancelRequested = false;
    job.RapidHeight = params.rapid;
    feedRate_ = params.feedRate;
    BusyCursor busy;
    frame_.status().setMessage(qText(engine::kCreatingText));
    setRunning(*window, true);
    runOn(*window, params);
    setRunning(*window, false);
    job.CancelRequested = false;
    form_.setUndoEnabled(true);
    refreshControls();
}

// Runs on `window`; each Topography level is drawn onto the window's kept picture as it
// finishes, after one full paint that puts the mesh (and a picture's new bounds) on it.
void TfrmToolPaths::runOn(TfrmDXFView& window, const engine::RegionRunParams& params) {
    StatusPanels& status = frame_.status();
    const bool pictureRun = window.kind() == MeshWindowKind::VectorConversion;
    const bool firstRun = window.document().Regions.empty();
    bool painted = !firstRun && !pictureRun;
    // A picture run's levels are in pixels and grey levels until the run scales them.
    const engine::RegionRunSettings scales =
        engine::MakeRunSettings(params, frame_.jobState().GridColumns);
    const double xyScale = pictureRun ? scales.XYScale : 1.0;
    const double depthScale = pictureRun ? scales.LevelScale : 1.0;
    const engine::LevelDone levelDone = [&](const engine::TRegionArray& regions,
                                            std::size_t firstNew) {
        if (!painted) {
            window.Draw3D->paintPicture();
            painted = true;
        }
        window.DrawRegionsNow(regions, firstNew, xyScale, depthScale);
    };
    StatusProgress progress(status, frame_.jobState());
    engine::RunOutcome outcome;
    try {
        outcome = engine::RunCreateRegions(window.document(), pictureRun, params, frame_.jobState(),
                                           progress, levelDone);
    } catch (const quarvel::Error& e) {
        status.gauge().setGaugeEnabled(false);
        frame_.prompts().message(this, MessageKind::Warning, qText(e.what()));
        frame_.ShowReady();
        return;
    }
    status.gauge().setGaugeEnabled(false);
    status.setMessage(qText(outcome.statusText));
    status.setDetail(qText(outcome.countText));
    if (outcome.regionsAdded == 0) return;
    if (firstRun || pictureRun) {
        window.Draw3D->update();
    } else {
        window.DrawRegionsNow(window.document().Regions.withPlaceholder(), 1);
    }
}

// While a run lets events through, nothing may start a second run or change or close the
// window under it; Cancel and Escape stay live.
void TfrmToolPaths::setRunning(TfrmDXFView& window, bool running) {
    running_ = running;
    window.setRunning(running);
    refreshControls();
}

void TfrmToolPaths::Button3Click() {
    TfrmDXFView* window = running_ ? nullptr : boundWindow();
    if (!window) return;
    frame_.status().setMessage(qText(engine::UndoLastRun(window->document())));
    window->Draw3D->update();
    frame_.status().setDetail(QString::number(window->document().Regions.size()));
    form_.setUndoEnabled(false);
    refreshControls();
}

// After Clear there is no last run left to undo.
void TfrmToolPaths::btnClearClick() {
    TfrmDXFView* window = running_ ? nullptr : boundWindow();
    if (!window) return;
    engine::ClearRegions(window->document());
    window->Draw3D->update();
    frame_.status().setDetail(QStringLiteral("0"));
    frame_.ShowReady();
    form_.setUndoEnabled(false);
    refreshControls();
}

}  // namespace quarvel::app
