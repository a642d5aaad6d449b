#include <QEventLoop>
#include <QScreen>
#include <QSplashScreen>
#include <QTimer>

#include "platform/portability.h"
#include "dncview/dnc_import.h"
#include "meshview/mesh_import.h"
#include "meshview/region_tools.h"
#include "picture/picture_setup.h"
#include "shell/artwork.h"
#include "shell/quarvel_application.h"
#include "shell/quarvel_frame.h"
#include "surface/surface_commands.h"

using quarvel::app::QuarvelApplication;
using quarvel::app::TQuarvelFrame;

namespace {

void waitMilliseconds(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

int main(int argc, char** argv) {
    quarvel::platform::ReturnLargeBlocksToSystem();
    QuarvelApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quarvel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quarvel"));
    QApplication::setApplicationVersion(QStringLiteral(QUARVEL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("quarvel"));
    QApplication::setWindowIcon(quarvel::app::programIcon());
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QStringLiteral("hicolor")) {
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    }

    QSplashScreen splash(quarvel::app::splashPicture(),
                         Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        splash.move(screen->geometry().center() - splash.rect().center());
    }
    splash.show();
    app.processEvents();

    TQuarvelFrame frame;
    quarvel::app::installPictureWindows(frame);
    // The Create commands of picture windows; each picture window is connected when made.
    frame.setSurfaceJobFactory(quarvel::app::createSurfaceJobDialog);
    frame.setCreateCommands(
        [&frame](quarvel::app::TfrmPicture& p) { quarvel::app::DXFSurface1Click(frame, p); },
        [&frame](quarvel::app::TfrmPicture& p) { quarvel::app::GCode1Click(frame, p); }, {});
    quarvel::app::InstallMeshWindows(frame);
    quarvel::app::InstallDncViewer(frame);
    quarvel::app::InstallRegionTools(frame);
    waitMilliseconds(1000);
    splash.close();

    frame.show();
    for (const QString& path : app.arguments().mid(1)) {
        if (quarvel::app::IsDncFileName(path)) {
            quarvel::app::ImportDncFile(frame, path);
            frame.ShowReady();
        } else if (quarvel::app::IsMeshFileName(path)) {
            frame.jobState().JobMode = quarvel::JobModeCode::MeshImport;
            quarvel::app::ImportMeshFile(frame, path);
        } else {
            frame.openPicture(path);
        }
    }
    return app.exec();
}
