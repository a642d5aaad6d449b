// What Create does: read the fields, ask for the file and run the job that JobMode names
// at that moment, writing through the core's jobs (temporary file renamed when done).
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <ctime>
#include <exception>

#include "text/creation_stamp.h"
#include "shell/file_filters.h"
#include "shell/status_panels.h"
#include "shell/status_progress.h"
#include "shell/user_prompts.h"
#include "surface/raster_dnc.h"
#include "surface/machine_choice.h"
#include "surface/surface_dialog.h"
#include "surface/surface_jobs.h"
#include "text/error.h"

namespace quarvel::app {

using surface::GougeSettings;
using surface::SurfaceField;
using surface::SurfaceJobForm;
using surface::SurfaceJobValues;

namespace {

const QString kDxfSaveFilter = QStringLiteral("DXF Files|*.Dxf");
const QString kDncSaveFilter = QStringLiteral("DNC Files|*.Dnc");

bool isGCodeMode(JobModeCode mode) { return mode == JobModeCode::GCode; }

// The fields read under another job mode than the one the dialog opened with (another
// window changed JobMode meanwhile): the G-code-only fields count only in mode 20.
SurfaceJobForm formForMode(const SurfaceJobForm& shown, const surface::PictureFacts& picture,
                           JobModeCode mode) {
    SurfaceJobForm form(shown.gridColumns(), shown.gridRows(), picture, mode);
    form.setKeepAspectRatio(false);
    for (std::size_t i = 0; i < surface::kSurfaceFieldCount; ++i) {
        const auto field = static_cast<SurfaceField>(i);
        form.type(field, shown.text(field));
    }
    form.setUseGougeControl(shown.useGougeControl());
    return form;
}

// A diameter of exactly 0 is the one value the tool fields refuse by message.
bool hasZeroDiameter(const GougeSettings& gouge) { return gouge.enabled && gouge.diameter == 0.0; }

}  // namespace

// The job runs on its own copy of the grid: while it lets events through, another
// window may sample a new grid or a second surface dialog may close and empty it. The
// corrected grid goes back afterwards, so that a second Create in this dialog works on
// it, unless the job emptied the grid or the grid was replaced by one of another size.
void TDXF::Button1Click() {
    if (Running) return;  // a click delivered while a job pumps events starts nothing
    context_.job.CancelRequested = false;
    CancelPressed = false;
    work_ = context_.job.HeightGrid;
    try {
        if (isGCodeMode(context_.job.JobMode)) {
            runRasterGCodeJob();
        } else {
            runDxfSurfaceJob();
        }
    } catch (const std::exception& error) {
        stopRunning();
        setStatus(kReadyText);
        context_.prompts.message(this, MessageKind::Warning, QString::fromUtf8(error.what()));
    }
    TZGrid& shared = context_.job.HeightGrid;
    if (shared.rows == work_.rows && shared.columns == work_.columns && !shared.empty()) {
        shared = std::move(work_);
    }
    work_ = TZGrid();
}

// Throws InvalidInput for values that give no sound job, or when the grid the fields
// were made for is gone (another surface dialog closed and emptied it).
void TDXF::readJob(SurfaceJobValues& values, GougeSettings& gouge) {
    const TZGrid& grid = context_.job.HeightGrid;
    if (grid.columns != form_.gridColumns() || grid.rows != form_.gridRows()) {
        throw InvalidInput(
            "The picture's height grid is no longer there. Open this dialog "
            "again from the picture.");
    }
    const JobModeCode mode = context_.job.JobMode;
    if (isGCodeMode(mode) == isGCodeMode(form_.jobMode())) {
        values = form_.readJobValues();
        gouge = form_.readGouge();
    } else {
        const SurfaceJobForm other = formForMode(form_, context_.picture, mode);
        values = other.readJobValues();
        gouge = other.readGouge();
    }
}

void TDXF::runDxfSurfaceJob() {
    SurfaceJobValues job;
    GougeSettings gouge;
    readJob(job, gouge);
    const bool prepare = context_.job.JobMode == JobModeCode::DxfSurface;
    QString path;
    if (!askFileName(prepare ? kDxfSaveFilter : QString(), QStringLiteral("Dxf"), path)) return;
    repaint();
    Running = true;
    if (hasZeroDiameter(gouge)) {
        showMessage(kZeroDiameterText);
        gouge.enabled = false;  // the surface is written from the grid as sampled
    }
    StatusProgress gauge(context_.status, context_.job);
    const surface::JobFeedback feedback{
        gauge, *this, [this](surface::JobStage stage) { showStage(stage); }, {}};
    // Escape stops gouge control only; the job goes on all the same. A Cancel press ends
    // the faces early; the file still gets its trailer and is kept.
    (void)surface::RunDxfSurfaceJob(work_, job, gouge, path.toStdString(), feedback,
                                    surface::CutShortFile::Keep);
    stopRunning();
    finishJob();
}

void TDXF::showStage(surface::JobStage stage) {
    switch (stage) {
        case surface::JobStage::GougeControl:
            setStatus(QStringLiteral("Applying Gouge Control. Please Wait..."));
            break;
        case surface::JobStage::Surface:
            repaint();
            setStatus(QStringLiteral("Saving to File..."));
            break;
        case surface::JobStage::Writing: setStatus(QStringLiteral("Writing to file...")); break;
    }
}

// The file is asked for only once the moves are known; by then the dialog is idle.
void TDXF::runRasterGCodeJob() {
    SurfaceJobValues job;
    GougeSettings gouge;
    readJob(job, gouge);
    Running = true;
    context_.job.RapidHeight = job.rapidHeight;
    if (hasZeroDiameter(gouge)) {
        showMessage(kZeroDiameterText);
        stopRunning();
        return;
    }
    StatusProgress gauge(context_.status, context_.job);
    const surface::JobFeedback feedback{
        gauge, *this, [this](surface::JobStage stage) { showStage(stage); },
        [this](int pass) { setStatus(QStringLiteral("Pass ") + QString::number(pass)); }};
    const auto chooseFile = [&]() -> std::string {
        stopRunning();
        // A save that is cancelled or fails keeps the dialog with its values and the grid
        // as sampled, so that Create can simply be pressed again.
        work_ = context_.job.HeightGrid;
        QString path;
        if (!askFileName(kDncSaveFilter, QStringLiteral("Dnc"), path)) return {};
        return path.toStdString();
    };
    const surface::DncFileHead head{CreationStamp(std::time(nullptr)), context_.job.JobFileName};
    const machine::MachineJob machineJob = machineChoice->job();
    machineChoice->remember();
    std::string written;
    const auto chooseAndKeep = [&]() {
        written = chooseFile();
        return written;
    };
    const surface::RasterJobEnd end =
        surface::RunRasterGCodeJob(work_, job, gouge, head, feedback, chooseAndKeep, machineJob);
    if (end == surface::RasterJobEnd::PassesCancelled) {
        stopRunning();  // Cancel pressed: idle again, nothing written, grid kept
        return;
    }
    stopRunning();
    if (end == surface::RasterJobEnd::NoFileChosen) return;
    // Escape during gouge control, the passes or the writing leaves no file; the status
    // tells.
    finishJob();
    if (end == surface::RasterJobEnd::Written)
        context_.status.setDetail(RunTimeStatusText(QString::fromStdString(written), machineJob));
}

// An empty filter leaves the save dialog as its last user set it; otherwise it offers the
// picture's name with the job's extension, in the picture's folder. A name typed without
// an extension gets the dialog's default one.
bool TDXF::askFileName(const QString& filter, const QString& extension, QString& path) {
    QFileDialog& dialog = context_.saveDialog;
    if (!filter.isEmpty()) {
        applyFilter(dialog, filter, 0);
        dialog.setDefaultSuffix(extension);
        // After the filter: choosing a filter rewrites the extension of the name shown.
        const QFileInfo picture(context_.pictureFile);
        dialog.selectFile(context_.pictureFile.isEmpty()
                              ? QString()
                              : picture.absolutePath() + QLatin1Char('/') +
                                    picture.completeBaseName() + QLatin1Char('.') +
                                    extension.toLower());
    }
    if (!context_.prompts.runFileDialog(dialog)) return false;
    path = dialog.selectedFiles().value(0);
    if (path.isEmpty()) return false;
    const QString suffix = dialog.defaultSuffix();
    if (!suffix.isEmpty() && !QFileInfo(path).fileName().contains(QLatin1Char('.'))) {
        path += QLatin1Char('.') + suffix;
    }
    return true;
}

void TDXF::stopRunning() {
    Running = false;
    CancelPressed = false;  // a press counts for the job it stopped only
    ProgressBar1->setValue(0);
}

// The job is over: the dialog closes (which empties the grid) and the status says how
// the job ended.
void TDXF::finishJob() {
    StatusPanels& status = context_.status;
    const bool cancelled = context_.job.CancelRequested;
    closeDialog();
    status.setMessage(cancelled ? kProcessCancelledText : kReadyText);
    status.repaintNow();
}

}  // namespace quarvel::app
