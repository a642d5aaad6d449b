#include <QAction>
#include <QMdiSubWindow>
#include <QMenu>

#include "dncview/dnc_view.h"
#include "shell/quarvel_frame.h"

namespace quarvel::app {

namespace {
QAction* addItem(QMenu* menu, const QString& caption, const QString& componentName) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(componentName);
    return action;
}
}  // namespace

void TfrmDnc::buildMenus() {
    auto* window = new QMenu(QStringLiteral("&Window"), this);
    window->addActions({frame_.Tile1, frame_.Cascade1});
    auto* help = new QMenu(QStringLiteral("&Help"), this);
    help->addActions({frame_.Contents1, frame_.About1});
    menus_ = {buildFileMenu(), buildViewMenu(), window, help};
}

QMenu* TfrmDnc::buildFileMenu() {
    auto* menu = new QMenu(QStringLiteral("&File"), this);
    menu->addActions({frame_.New1, frame_.Load1, frame_.ImportDNCFile1, frame_.ImportDXFMesh1});
    menu->addSeparator();
    mnuClose = addItem(menu, QStringLiteral("&Close"), QStringLiteral("mnuClose"));
    connect(mnuClose, &QAction::triggered, this, [this] {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
            sub->close();
        } else {
            close();
        }
        frame_.ShowReady();
    });
    menu->addAction(frame_.Exit1);
    return menu;
}

QMenu* TfrmDnc::buildViewMenu() {
    auto* menu = new QMenu(QStringLiteral("&View"), this);
    mnuTop = addItem(menu, QStringLiteral("&Top"), QStringLiteral("mnuTop"));
    mnuIsometric = addItem(menu, QStringLiteral("&Isometric"), QStringLiteral("mnuIsometric"));
    connect(mnuTop, &QAction::triggered, this, &TfrmDnc::mnuTopClick);
    connect(mnuIsometric, &QAction::triggered, this, &TfrmDnc::mnuIsometricClick);
    menu->addSeparator();
    mnuFirstNotUnderstood = addItem(menu, QStringLiteral("First Line &Not Understood"),
                                    QStringLiteral("mnuFirstNotUnderstood"));
    connect(mnuFirstNotUnderstood, &QAction::triggered, this, &TfrmDnc::mnuFirstNotUnderstoodClick);
    return menu;
}

}  // namespace quarvel::app
