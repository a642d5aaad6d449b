// The frame's commands that open documents and dialogs.
#include <QMdiSubWindow>

#include "picture/adjustment_dialog.h"
#include "picture/picture_window.h"
#include "picture/resize_dialog.h"
#include "picture/texture_shade_dialog.h"
#include "shell/file_filters.h"
#include "shell/quarvel_frame.h"

namespace quarvel::app {

namespace {
const QString kImageFilter = QStringLiteral(
    "All image files|*.Bmp;*.Jpg;*.Tif;*.Pcx;*.Gif;*.Wmf|Bmp Files *.Bmp|*.bmp|"
    "JPEG Files *.Jpg|*.jpg|TIFF Files *.Tif|*.tif|PCX Files *.Pcx|*.pcx|"
    "GIFF Files *.Gif|*.gif|WinMF Files *.Wmf|*.wmf");
const QString kDxfFilter = QStringLiteral("DXF files|*.Dxf|*.dxf");
const QString kDncFilter = QStringLiteral("DNC files *.Dnc|*.Dnc|All Files *.*|*.*");

void prepareImportDialog(QFileDialog& dialog, const QString& filter) {
    dialog.setFileMode(QFileDialog::ExistingFile);
    applyFilter(dialog, filter, 0);
    dialog.selectFile(QString());
}
}  // namespace

void TQuarvelFrame::New1Click() {
    addChildWindow(new TfrmPicture(*this));
    DisablePictureButtons(false);
}

void TQuarvelFrame::Load1Click() {
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    applyFilter(*OpenDialog1, kImageFilter, 0);
    if (!prompts_->runFileDialog(*OpenDialog1)) return;
    openPicture(OpenDialog1->selectedFiles().value(0));
}

TfrmPicture* TQuarvelFrame::openPicture(const QString& path) {
    auto* picture = new TfrmPicture(*this);
    addChildWindow(picture);
    picture->LoadPictureFile(path);
    return picture;
}

void TQuarvelFrame::ImportDXFMesh1Click() {
    prepareImportDialog(*OpenDialog1, kDxfFilter);
    job_.JobMode = JobModeCode::MeshImport;
    if (!prompts_->runFileDialog(*OpenDialog1) || !dxfMeshImporter_) return;
    dxfMeshImporter_(*this, OpenDialog1->selectedFiles().value(0));
}

void TQuarvelFrame::ImportDNCFile1Click() {
    prepareImportDialog(*OpenDialog1, kDncFilter);
    if (prompts_->runFileDialog(*OpenDialog1) && dncImporter_) {
        dncImporter_(*this, OpenDialog1->selectedFiles().value(0));
    }
    ShowReady();
}

void TQuarvelFrame::OpenAdjustmentDialog() {
    auto* picture = qobject_cast<TfrmPicture*>(activeChild());
    if (!picture) return;
    picture->TP->model().Copy();
    addChildWindow(new TfrmAdjustment1(*this));
}

void TQuarvelFrame::OpenTextureShadeDialog() {
    auto* picture = qobject_cast<TfrmPicture*>(activeChild());
    if (!picture) return;
    picture->TP->model().Copy();
    addChildWindow(new TfrmLambert(*this));
}

void TQuarvelFrame::OpenResizeDialog() { addChildWindow(new TfrmResize(*this)); }

QWidget* TQuarvelFrame::OpenSurfaceJobDialog() {
    if (!surfaceJobFactory_) return nullptr;
    QWidget* dialog = surfaceJobFactory_(*this);
    if (dialog) addChildWindow(dialog);
    return dialog;
}

QWidget* TQuarvelFrame::OpenMeshWindow() {
    if (!meshWindowFactory_) return nullptr;
    QWidget* window = meshWindowFactory_(*this);
    if (!window) return nullptr;
    QMdiSubWindow* sub = addChildWindow(window);
    if (job_.JobMode == JobModeCode::RasterToVector) sub->resize(job_.ViewWidth, job_.ViewHeight);
    return window;
}

void TQuarvelFrame::setSurfaceJobFactory(WindowFactory factory) {
    surfaceJobFactory_ = std::move(factory);
}

void TQuarvelFrame::setMeshWindowFactory(WindowFactory factory) {
    meshWindowFactory_ = std::move(factory);
}

void TQuarvelFrame::setDxfMeshImporter(FileImporter importer) {
    dxfMeshImporter_ = std::move(importer);
    ImportDXFMesh1->setEnabled(static_cast<bool>(dxfMeshImporter_));
}

void TQuarvelFrame::setDncImporter(FileImporter importer) {
    dncImporter_ = std::move(importer);
    ImportDNCFile1->setEnabled(static_cast<bool>(dncImporter_));
}

void TQuarvelFrame::setCreateCommands(PictureCommand dxfSurface, PictureCommand gCode,
                                      PictureCommand rasterToVector) {
    dxfSurfaceCommand_ = std::move(dxfSurface);
    gCodeCommand_ = std::move(gCode);
    rasterToVectorCommand_ = std::move(rasterToVector);
}

void TQuarvelFrame::setRasterToVectorCommand(PictureCommand rasterToVector) {
    rasterToVectorCommand_ = std::move(rasterToVector);
}

void TQuarvelFrame::wireCreateCommands(TfrmPicture& picture) {
    const std::pair<QAction*, const PictureCommand*> items[] = {
        {picture.mnuDXFSurface, &dxfSurfaceCommand_},
        {picture.mnuGCode, &gCodeCommand_},
        {picture.mnuRasterToVector, &rasterToVectorCommand_}};
    for (const auto& [action, command] : items) {
        action->setEnabled(static_cast<bool>(*command));
        if (*command) {
            connect(action, &QAction::triggered, &picture,
                    [command, &picture] { (*command)(picture); });
        }
    }
}

}  // namespace quarvel::app
