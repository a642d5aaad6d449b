#include <QMdiSubWindow>

#include "shell/file_filters.h"
#include "shell/quarvel_frame.h"

namespace quarvel::app {

namespace {
const QString kDxfFilter = QStringLiteral("DXF files|*.Dxf|*.dxf");
const QString kDncFilter = QStringLiteral("DNC files *.Dnc|*.Dnc|All Files *.*|*.*");

void prepareImportDialog(QFileDialog& dialog, const QString& filter) {
    dialog.setFileMode(QFileDialog::ExistingFile);
    applyFilter(dialog, filter, 0);
    dialog.selectFile(QString());
}
}  // namespace

void TQuarvelFrame::New1Click() {}

void TQuarvelFrame::Load1Click() {}

TfrmPicture* TQuarvelFrame::openPicture(const QString&) { return nullptr; }

void TQuarvelFrame::ImportDXFMesh1Click() {
    prepareImportDialog(*OpenDialog1, kDxfFilter);
    job_.JobMode = kJobMeshImport;
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

void TQuarvelFrame::OpenAdjustmentDialog() {}

void TQuarvelFrame::OpenTextureShadeDialog() {}

void TQuarvelFrame::OpenResizeDialog() {}

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
    if (job_.JobMode == kJobRasterToVector) sub->resize(job_.ViewWidth, job_.ViewHeight);
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

}  // namespace quarvel::app
