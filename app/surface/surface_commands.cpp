#include "surface/surface_commands.h"

#include <QFileInfo>
#include <QPointer>

#include "imaging/pixel_image.h"
#include "picture/picture_window.h"
#include "raster/sampling.h"
#include "shell/quarvel_frame.h"

namespace quarvel::app {

void SamplePictureGrid(const TfrmPicture& picture, JobState& job) {
    const imaging::PixelImage& shown = picture.TP->model().Picture();
    // Only 24-bit pixels carry a red byte of their own; other depths go through a copy.
    imaging::PixelImage expanded;
    const imaging::PixelImage* image = &shown;
    if (!shown.empty() && !shown.isTrueColor()) {
        expanded = imaging::ExpandTo24(shown);
        image = &expanded;
    }
    const PixelView24 view = image->empty() ? PixelView24{}
                                            : PixelView24{image->width, image->height,
                                                          image->rowBytes(), image->pixels.data()};
    job.HeightGrid = SampleHeightGrid(view, job.JobMode);
}

namespace {

// Without a picture behind it, the dialog still needs a size: the grid's, less the frame
// of mode 10, with no resolution given.
surface::PictureFacts gridFacts(const JobState& job) {
    const int frame = job.JobMode == JobModeCode::DxfSurface ? 2 : 0;
    return {job.HeightGrid.columns - frame, job.HeightGrid.rows - frame, 0, 0};
}

void openFor(TQuarvelFrame& frame, TfrmPicture& picture, JobModeCode jobMode) {
    if (!picture.TP->model().HasImage()) return;
    JobState& job = frame.jobState();
    picture.NoteTargetWindow();
    job.JobMode = jobMode;
    SamplePictureGrid(picture, job);
    frame.OpenSurfaceJobDialog();
}

}  // namespace

TDXF* createSurfaceJobDialog(TQuarvelFrame& frame) {
    JobState& job = frame.jobState();
    QPointer<TfrmPicture> picture =
        qobject_cast<TfrmPicture*>(frame.childAt(job.TargetWindowIndex - 1));
    SurfaceDialogContext context{
        job, frame.status(), frame.prompts(), frame.saveDialog(), gridFacts(job), {}, {}};
    if (picture) {
        const imaging::ImagingModel& model = picture->TP->model();
        context.picture = {model.ImageWidth(), model.ImageHeight(), model.ImageXRes(),
                           model.ImageYRes()};
        context.pictureFile = picture->filePath();
        context.writeResolution = [picture](int xRes, int yRes) {
            if (!picture) return;
            picture->TP->model().SetImageXRes(xRes);
            picture->TP->model().SetImageYRes(yRes);
        };
    }
    return new TDXF(std::move(context));
}

void DXFSurface1Click(TQuarvelFrame& frame, TfrmPicture& picture) {
    openFor(frame, picture, JobModeCode::DxfSurface);
}

void GCode1Click(TQuarvelFrame& frame, TfrmPicture& picture) {
    if (!picture.TP->model().HasImage()) return;
    frame.jobState().JobFileName = QFileInfo(picture.caption()).fileName().toStdString();
    openFor(frame, picture, JobModeCode::GCode);
}

}  // namespace quarvel::app
