#include "meshview/region_tools.h"

#include <QMdiSubWindow>

#include "engine/raster_to_vector.h"
#include "imaging/pixel_image.h"
#include "meshview/mesh_import.h"
#include "meshview/toolpaths_dialog.h"
#include "picture/picture_window.h"
#include "shell/busy_cursor.h"
#include "shell/quarvel_frame.h"
#include "shell/status_progress.h"

namespace quarvel::app {

TfrmToolPaths* InstallRegionTools(TQuarvelFrame& frame) {
    auto* dialog = new TfrmToolPaths(frame);
    QPointer<TfrmToolPaths> bound(dialog);
    MeshWindowCommands commands;
    commands.createToolpaths = [&frame, bound](TfrmDXFView& window) {
        if (!bound) return;
        frame.jobState().JobMode = JobModeCode::MeshToolpaths;
        bound->showFor(&window);
    };
    commands.saveDnc = [&frame, bound](TfrmDXFView& window) {
        if (!bound) {
            window.SaveDNC1Click(10.0, frame.jobState().RapidHeight);
            return;
        }
        bound->rememberMachine();
        window.SaveDNC1Click(bound->feedRate(), frame.jobState().RapidHeight, bound->machineJob());
    };
    commands.closing = [bound](TfrmDXFView& window) {
        if (bound) bound->windowClosing(window);
    };
    InstallMeshWindows(frame, commands);
    frame.setRasterToVectorCommand([&frame, bound](TfrmPicture& picture) {
        if (bound) RastertoDXF1Click(frame, picture, *bound);
    });
    return dialog;
}

namespace {

// The picture's pixels as 24-bit rows (other depths through a copy).
RunStatus prepareFrom(const imaging::PixelImage& shown, JobState& job, engine::MeshDocument& mesh,
                      Progress& progress) {
    imaging::PixelImage expanded;
    const imaging::PixelImage* image = &shown;
    if (!shown.isTrueColor()) {
        expanded = imaging::ExpandTo24(shown);
        image = &expanded;
    }
    const PixelView24 view{image->width, image->height, image->rowBytes(), image->pixels.data()};
    return engine::PrepareRasterToVector(view, job, mesh, progress);
}

}  // namespace

void RastertoDXF1Click(TQuarvelFrame& frame, TfrmPicture& picture, TfrmToolPaths& dialog) {
    const imaging::ImagingModel& model = picture.TP->model();
    // A running Create may be slicing the facet list that this would rebuild.
    if (!model.HasImage() || dialog.isRunning()) return;
    JobState& job = frame.jobState();
    const QWidget* outer = picture.parentWidget() ? picture.parentWidget() : &picture;
    job.ViewWidth = outer->width();
    job.ViewHeight = outer->height();
    StatusPanels& status = frame.status();
    TfrmDXFView* window = nullptr;
    {
        BusyCursor busy;
        status.setMessage(QStringLiteral("Mapping 3D Grid... Please Wait..."));
        status.repaintNow();
        job.CancelRequested = false;
        StatusProgress progress(status, job);
        engine::MeshDocument prepared;
        if (prepareFrom(model.Picture(), job, prepared, progress) == RunStatus::Cancelled) {
            job.CancelRequested = false;
            status.setMessage(QStringLiteral("Process Cancelled..."));
            return;
        }
        window = qobject_cast<TfrmDXFView*>(frame.OpenMeshWindow());
        if (!window) return;
        window->setSourceFile(picture.filePath());
    }
    status.setMessage(QStringLiteral("Done..."));
    status.repaintNow();
    dialog.showFor(window);
}

}  // namespace quarvel::app
