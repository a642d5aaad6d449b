#include <QAction>
#include <QMdiSubWindow>
#include <QMenu>

#include "meshview/dxf_view.h"
#include "shell/quarvel_frame.h"

namespace quarvel::app {

namespace {
QAction* addItem(QMenu* menu, const QString& caption, const QString& componentName) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(componentName);
    return action;
}

QAction* addCheckItem(QMenu* menu, const QString& caption, const QString& componentName) {
    QAction* action = addItem(menu, caption, componentName);
    action->setCheckable(true);
    action->setChecked(true);
    return action;
}
}  // namespace

void TfrmDXFView::buildMenus() {
    auto* edit = new QMenu(QStringLiteral("&Edit"), this);
    mnuCopy = addItem(edit, QStringLiteral("&Copy"), QStringLiteral("mnuCopy"));
    connect(mnuCopy, &QAction::triggered, Draw3D, &TDraw3D::CopyToClipboard);

    mnuCreate = new QMenu(QStringLiteral("Create"), this);
    mnuCreateToolpaths =
        addItem(mnuCreate, QStringLiteral("Toolpaths"), QStringLiteral("Toolpaths1"));
    mnuCreateToolpaths->setEnabled(static_cast<bool>(commands_.createToolpaths));
    connect(mnuCreateToolpaths, &QAction::triggered, this, [this] {
        if (commands_.createToolpaths) commands_.createToolpaths(*this);
    });

    auto* window = new QMenu(QStringLiteral("&Window"), this);
    window->addActions({frame_.Tile1, frame_.Cascade1});
    auto* help = new QMenu(QStringLiteral("&Help"), this);
    help->addActions({frame_.Contents1, frame_.About1});
    menus_ = {buildFileMenu(), edit, buildViewMenu(), mnuCreate, window, help};
}

QMenu* TfrmDXFView::buildFileMenu() {
    auto* menu = new QMenu(QStringLiteral("&File"), this);
    menu->addActions({frame_.New1, frame_.Load1, frame_.ImportDNCFile1, frame_.ImportDXFMesh1});
    menu->addSeparator();
    SaveDNC1 = addItem(menu, QStringLiteral("Save D&NC"), QStringLiteral("SaveDNC1"));
    SaveDXF1 = addItem(menu, QStringLiteral("Save &DXF"), QStringLiteral("SaveDXF1"));
    connect(SaveDNC1, &QAction::triggered, this, [this] {
        if (commands_.saveDnc) commands_.saveDnc(*this);
    });
    connect(SaveDXF1, &QAction::triggered, this, [this] {
        if (commands_.saveDxf) {
            commands_.saveDxf(*this);
        } else {
            SaveDXF1Click();
        }
    });
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

QMenu* TfrmDXFView::buildViewMenu() {
    auto* menu = new QMenu(QStringLiteral("&View"), this);
    mnuTop = addItem(menu, QStringLiteral("&Top"), QStringLiteral("mnuTop"));
    mnuIsometric = addItem(menu, QStringLiteral("&Isometric"), QStringLiteral("mnuIsometric"));
    mnuFit = addItem(menu, QStringLiteral("&Fit"), QStringLiteral("mnuFit"));
    connect(mnuTop, &QAction::triggered, this, &TfrmDXFView::mnuTopClick);
    connect(mnuIsometric, &QAction::triggered, this, &TfrmDXFView::mnuIsometricClick);
    connect(mnuFit, &QAction::triggered, this, &TfrmDXFView::mnuFitClick);
    mnuMeshSeparator = menu->addSeparator();
    mnuMesh = addCheckItem(menu, QStringLiteral("&Mesh"), QStringLiteral("mnuMesh"));
    mnuToolpaths =
        addCheckItem(menu, QStringLiteral("&Tool&paths"), QStringLiteral("mnuToolpaths"));
    for (QAction* toggle : {mnuMesh, mnuToolpaths}) {
        connect(toggle, &QAction::toggled, Draw3D, [this] { Draw3D->update(); });
    }
    return menu;
}

}  // namespace quarvel::app
