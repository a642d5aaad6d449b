// Sets up a scene for screenshots of the manual: a mesh file imported into a mesh
// window in the Isometric view, optionally turned afterwards by a left-button drag.
// usage: quarvel_mesh_scene MESH.dxf|MESH.stl [DRAG_PIXELS]
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QTimer>

#include "meshview/mesh_import.h"
#include "shell/quarvel_application.h"
#include "shell/quarvel_frame.h"

using namespace quarvel::app;

namespace {
void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QMouseEvent event(type, at, target->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}
}  // namespace

int main(int argc, char** argv) {
    QuarvelApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Quarvel"));
    QIcon::setThemeName(QStringLiteral("Adwaita"));
    if (argc < 2) return 2;
    TQuarvelFrame frame;
    InstallMeshWindows(frame);
    frame.resize(980, 700);
    frame.move(20, 20);
    frame.show();
    TfrmDXFView* window = ImportMeshFile(frame, QString::fromLocal8Bit(argv[1]));
    if (!window) return 1;
    window->parentWidget()->setGeometry(10, 10, 760, 520);
    const int dragPixels = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 0;
    QTimer::singleShot(300, [window, dragPixels] {
        if (dragPixels == 0) return;
        // Moving right turns the view: Rotation decreases by one degree a pixel.
        TDraw3D* panel = window->Draw3D;
        const QPoint from(200, 200), to(200 + dragPixels, 200);
        sendMouse(panel, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        sendMouse(panel, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        sendMouse(panel, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    });
    return app.exec();
}
