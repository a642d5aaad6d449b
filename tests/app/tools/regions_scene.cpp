// Sets up a scene for screenshots of the manual: a Topography run through the Create
// Regions dialog, either on a picture's Vector Conversion window or on an imported mesh
// shown in the Isometric view.
// usage: quarvel_regions_scene picture PICTURE | mesh MESH.dxf|MESH.stl
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "meshview/dxf_view.h"
#include "meshview/mesh_import.h"
#include "meshview/region_tools.h"
#include "meshview/toolpaths_dialog.h"
#include "picture/picture_setup.h"
#include "picture/picture_window.h"
#include "shell/quarvel_application.h"
#include "shell/quarvel_frame.h"

using namespace quarvel::app;
using quarvel::engine::RegionStyle;

namespace {

void topography(TfrmToolPaths& dialog, const QString& step, const QString& opDepth) {
    dialog.styleButton(RegionStyle::Topography)->click();
    dialog.rbMultipleDepths->click();
    dialog.Edit2->setText(step);
    dialog.Edit1->setText(opDepth);
}

TfrmDXFView* pictureScene(TQuarvelFrame& frame, TfrmToolPaths& dialog, const QString& path) {
    auto* picture = qobject_cast<TfrmPicture*>(frame.openPicture(path));
    if (!picture) return nullptr;
    picture->parentWidget()->move(10, 10);
    picture->mnuRasterToVector->trigger();
    auto* window = qobject_cast<TfrmDXFView*>(frame.activeChild());
    if (!window) return nullptr;
    window->parentWidget()->move(60, 40);
    topography(dialog, QStringLiteral(".11"), QStringLiteral(".9"));
    dialog.Edit8->setText(QStringLiteral("3"));
    return window;
}

TfrmDXFView* meshScene(TQuarvelFrame& frame, TfrmToolPaths& dialog, const QString& path) {
    frame.jobState().JobMode = quarvel::JobModeCode::MeshImport;
    TfrmDXFView* window = ImportMeshFile(frame, path);
    if (!window) return nullptr;
    window->parentWidget()->setGeometry(10, 10, 700, 500);
    window->mnuCreateToolpaths->trigger();
    const auto& b = window->document().Bounds;
    topography(dialog, QStringLiteral(".05"), QString::number(-b.minZ));
    return window;
}

}  // namespace

int main(int argc, char** argv) {
    QuarvelApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Quarvel"));
    QIcon::setThemeName(QStringLiteral("Adwaita"));
    if (argc < 3) return 2;
    TQuarvelFrame frame;
    installPictureWindows(frame);
    TfrmToolPaths* dialog = InstallRegionTools(frame);
    frame.resize(980, 700);
    frame.move(20, 20);
    frame.show();
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    TfrmDXFView* window = mode == QStringLiteral("mesh") ? meshScene(frame, *dialog, path)
                                                         : pictureScene(frame, *dialog, path);
    if (!window) return 1;
    dialog->move(frame.geometry().right() - dialog->width() - 10, frame.geometry().top() + 80);
    QTimer::singleShot(300, dialog, [dialog, window, mode] {
        dialog->Button1->click();
        if (mode == QStringLiteral("mesh")) window->mnuIsometricClick();
    });
    return app.exec();
}
