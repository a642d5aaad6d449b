#include "meshview/mesh_import.h"

#include <QMdiSubWindow>

#include "shell/quarvel_frame.h"

namespace quarvel::app {

void InstallMeshWindows(TQuarvelFrame& frame, MeshWindowCommands commands) {
    frame.setMeshWindowFactory([commands](TQuarvelFrame& f) -> QWidget* {
        const MeshWindowKind kind = f.jobState().JobMode == JobModeCode::RasterToVector
                                        ? MeshWindowKind::VectorConversion
                                        : MeshWindowKind::ImportedMesh;
        return new TfrmDXFView(f, kind, commands);
    });
    frame.setDxfMeshImporter(
        [](TQuarvelFrame& f, const QString& path) { ImportMeshFile(f, path); });
}

TfrmDXFView* ImportMeshFile(TQuarvelFrame& frame, const QString& path) {
    auto* window = qobject_cast<TfrmDXFView*>(frame.OpenMeshWindow());
    if (!window) return nullptr;
    window->Draw3D->setRotation(0);
    window->Draw3D->setElevation(0);
    window->show();
    JobState& job = frame.jobState();
    job.CancelRequested = false;
    const MeshLoadResult result = window->LoadMesh(path);
    if (job.CancelRequested || result == MeshLoadResult::Cancelled ||
        result == MeshLoadResult::Failed) {
        job.CancelRequested = false;
        if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) sub->close();
        return nullptr;
    }
    return window;
}

bool IsMeshFileName(const QString& path) {
    return path.endsWith(QStringLiteral(".dxf"), Qt::CaseInsensitive) ||
           path.endsWith(QStringLiteral(".stl"), Qt::CaseInsensitive);
}

}  // namespace quarvel::app
