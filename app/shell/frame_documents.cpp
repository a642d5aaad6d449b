// The frame's commands that open documents and dialogs.
#include <QMdiSubWindow>

#include "shell/file_filters.h"
#include "shell/quarvel_frame.h"

namespace quarvel::app {

namespace {
const QString kImageFilter = QStringLiteral(
    "All image files|*.Bmp;*.Jpg;*.Tif;*.Pcx;*.Gif;*.Wmf|Bmp Files *.Bmp|*.bmp|"
    "JPEG Files *.Jpg|*.jpg|TIFF Files *.Tif|*.tif|PCX Files *.Pcx|*.pcx|"
    "GIFF Files *.Gif|*.gif|WinMF Files *.Wmf|*.wmf");
const QString kDxfFilter =
    QStringLiteral("DXF and STL meshes|*.Dxf;*.Stl|DXF files|*.Dxf|STL files|*.Stl");
const QString kDncFilter = QStringLiteral(
    "DNC files *.Dnc|*.Dnc|G-code files *.Nc *.Ngc *.Gcode *.Tap|*.Nc;*.Ngc;*.Gcode;*.Tap|"
    "All Files *.*|*.*");

void prepareImportDialog(QFileDialog& dialog, const QString& filter) {
    dialog.setFileMode(QFileDialog::ExistingFile);
    applyFilter(dialog, filter, 0);
    dialog.selectFile(QString());
}
}  // namespace

void TQuarvelFrame::New1Click() {
    if (!pictureWindowFactory_) return;
    addChildWindow(pictureWindowFactory_(*this));
    DisablePictureButtons(false);
}

void TQuarvelFrame::Load1Click() {
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    applyFilter(*OpenDialog1, kImageFilter, 0);
    if (!runFileDialog(*OpenDialog1)) return;
    openPicture(OpenDialog1->selectedFiles().value(0));
}

QWidget* TQuarvelFrame::openPicture(const QString& path) {
    if (!pictureWindowFactory_) return nullptr;
    QWidget* window = pictureWindowFactory_(*this);
    addChildWindow(window);
    if (auto* picture = dynamic_cast<PictureDocument*>(window)) picture->LoadPictureFile(path);
    return window;
}

void TQuarvelFrame::ImportDXFMesh1Click() {
    prepareImportDialog(*OpenDialog1, kDxfFilter);
    job_.JobMode = JobModeCode::MeshImport;
    if (!runFileDialog(*OpenDialog1) || !dxfMeshImporter_) return;
    dxfMeshImporter_(*this, OpenDialog1->selectedFiles().value(0));
}

void TQuarvelFrame::ImportDNCFile1Click() {
    prepareImportDialog(*OpenDialog1, kDncFilter);
    if (runFileDialog(*OpenDialog1) && dncImporter_) {
        dncImporter_(*this, OpenDialog1->selectedFiles().value(0));
    }
    ShowReady();
}

void TQuarvelFrame::OpenAdjustmentDialog() { openDialogFrom(adjustmentFactory_); }

void TQuarvelFrame::OpenTextureShadeDialog() { openDialogFrom(textureShadeFactory_); }

void TQuarvelFrame::OpenResizeDialog() { openDialogFrom(resizeFactory_); }

QWidget* TQuarvelFrame::openDialogFrom(const WindowFactory& factory) {
    QWidget* dialog = factory ? factory(*this) : nullptr;
    if (dialog) addChildWindow(dialog);
    return dialog;
}

QWidget* TQuarvelFrame::OpenSurfaceJobDialog() { return openDialogFrom(surfaceJobFactory_); }

QWidget* TQuarvelFrame::OpenMeshWindow() {
    if (!meshWindowFactory_) return nullptr;
    QWidget* window = meshWindowFactory_(*this);
    if (!window) return nullptr;
    QMdiSubWindow* sub = addChildWindow(window);
    if (job_.JobMode == JobModeCode::RasterToVector) sub->resize(job_.ViewWidth, job_.ViewHeight);
    return window;
}

void TQuarvelFrame::setPictureWindowFactory(WindowFactory factory) {
    pictureWindowFactory_ = std::move(factory);
}

void TQuarvelFrame::setPictureDialogFactories(WindowFactory adjustment, WindowFactory textureShade,
                                              WindowFactory resize) {
    adjustmentFactory_ = std::move(adjustment);
    textureShadeFactory_ = std::move(textureShade);
    resizeFactory_ = std::move(resize);
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
    createCommands_ = {std::move(dxfSurface), std::move(gCode), std::move(rasterToVector)};
}

void TQuarvelFrame::setRasterToVectorCommand(PictureCommand rasterToVector) {
    createCommands_.rasterToVector = std::move(rasterToVector);
}

}  // namespace quarvel::app
