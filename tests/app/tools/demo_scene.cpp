// Sets up a scene for screenshots of the manual: a loaded photo, the adjustment dialog
// and the photo's Image menu opened.
// usage: quarvel_demo_scene PHOTO
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "picture/picture_setup.h"
#include "picture/picture_window.h"
#include "shell/quarvel_application.h"
#include "shell/quarvel_frame.h"

using namespace quarvel::app;

int main(int argc, char** argv) {
    QuarvelApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Quarvel"));
    QIcon::setThemeName(QStringLiteral("Adwaita"));
    if (argc < 2) return 2;
    TQuarvelFrame frame;
    frame.resize(980, 640);
    frame.move(20, 20);
    installPictureWindows(frame);
    frame.show();
    QWidget* picture = frame.openPicture(QString::fromLocal8Bit(argv[1]));
    qobject_cast<QMdiSubWindow*>(picture->parentWidget())->move(10, 10);
    qobject_cast<TfrmPicture*>(picture)->imageCommand(QStringLiteral("mnuAdjustImge"))->trigger();
    if (auto* dialog = qobject_cast<QMdiSubWindow*>(frame.childAt(0)->parentWidget())) {
        dialog->move(440, 150);
    }
    frame.mdiArea().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(picture->parentWidget()));
    QTimer::singleShot(500, [&frame] {
        for (QAction* action : frame.menuBar()->actions()) {
            if (action->text() == QStringLiteral("&Image"))
                frame.menuBar()->setActiveAction(action);
        }
    });
    return app.exec();
}
