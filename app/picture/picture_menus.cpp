#include <QMenu>

#include "picture/picture_window.h"
#include "shell/quarvel_frame.h"

namespace quarvel::app {

namespace {
QAction* addItem(QMenu* menu, const QString& caption, const QString& componentName) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(componentName);
    return action;
}
}  // namespace

void TfrmPicture::buildMenus() {
    menus_ = {buildFileMenu(), buildEditMenu(), buildImageMenu(), buildCreateMenu(),
              buildWindowMenu()};
    auto* help = new QMenu(QStringLiteral("&Help"), this);
    help->addActions({frame_.Contents1, frame_.About1});
    menus_ << help;
}

QMenu* TfrmPicture::buildFileMenu() {
    auto* menu = new QMenu(QStringLiteral("&File"), this);
    menu->addActions({frame_.New1, frame_.Load1, frame_.ImportDNCFile1, frame_.ImportDXFMesh1});
    menu->addSeparator();
    connect(addItem(menu, QStringLiteral("Set Plu&gin Path"), QStringLiteral("mnuSetPluginPath")),
            &QAction::triggered, this, &TfrmPicture::mnuSetPluginPathClick);
    connect(addItem(menu, QStringLiteral("Load &Plugins"), QStringLiteral("mnuLoadPlugins")),
            &QAction::triggered, this, &TfrmPicture::mnuLoadPluginsClick);
    menu->addSeparator();
    QAction* save = addItem(menu, QStringLiteral("&Save"), QStringLiteral("mnuSave"));
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(save, &QAction::triggered, this, &TfrmPicture::mnuSaveClick);
    connect(addItem(menu, QStringLiteral("Save &As"), QStringLiteral("mnuSaveAs")),
            &QAction::triggered, this, [this] { mnuSaveAsClick(); });
    menu->addSeparator();
    connect(addItem(menu, QStringLiteral("&Close"), QStringLiteral("mnuClose")),
            &QAction::triggered, this, [this] {
                if (QWidget* sub = parentWidget()) sub->close();
            });
    menu->addAction(frame_.Exit1);
    return menu;
}

QMenu* TfrmPicture::buildEditMenu() {
    auto* menu = new QMenu(QStringLiteral("&Edit"), this);
    connect(addItem(menu, QStringLiteral("&Undo"), QStringLiteral("mnuUndo")), &QAction::triggered,
            this, &TfrmPicture::mnuUndoClick);
    menu->addSeparator();
    QAction* cut = addItem(menu, QStringLiteral("C&ut"), QStringLiteral("mnuCut"));
    cut->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    connect(cut, &QAction::triggered, this, &TfrmPicture::mnuCutClick);
    connect(addItem(menu, QStringLiteral("&Copy"), QStringLiteral("mnuCopy")), &QAction::triggered,
            this, &TfrmPicture::mnuCopyClick);
    QAction* paste = addItem(menu, QStringLiteral("&Paste"), QStringLiteral("mnuPaste"));
    paste->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    connect(paste, &QAction::triggered, this, &TfrmPicture::mnuPasteClick);
    menu->addSeparator();
    connect(addItem(menu, QStringLiteral("C&rop"), QStringLiteral("mnuCrop")), &QAction::triggered,
            this, &TfrmPicture::mnuCropClick);
    return menu;
}

QMenu* TfrmPicture::buildCreateMenu() {
    auto* menu = new QMenu(QStringLiteral("&Create"), this);
    mnuDXFSurface = addItem(menu, QStringLiteral("&DXF Surface"), QStringLiteral("mnuDXFSurface"));
    mnuGCode = addItem(menu, QStringLiteral("&G-Code"), QStringLiteral("mnuGCode"));
    mnuRasterToVector =
        addItem(menu, QStringLiteral("&Raster to Vector"), QStringLiteral("mnuRasterToVector"));
    wireCreateCommands();
    return menu;
}

void TfrmPicture::wireCreateCommands() {
    const auto& commands = frame_.createCommands();
    const std::pair<QAction*, const TQuarvelFrame::PictureCommand*> items[] = {
        {mnuDXFSurface, &commands.dxfSurface},
        {mnuGCode, &commands.gCode},
        {mnuRasterToVector, &commands.rasterToVector}};
    for (const auto& [action, command] : items) {
        action->setEnabled(static_cast<bool>(*command));
        if (*command) {
            connect(action, &QAction::triggered, this, [command, this] { (*command)(*this); });
        }
    }
}

QMenu* TfrmPicture::buildWindowMenu() {
    auto* menu = new QMenu(QStringLiteral("&Window"), this);
    menu->addActions({frame_.Tile1, frame_.Cascade1});
    menu->addSeparator();
    viewModes_ = new QActionGroup(this);
    mnuFitWindow_ = addItem(menu, QStringLiteral("&Fit Window"), QStringLiteral("mnuFitWindow"));
    mnuFitPicture_ = addItem(menu, QStringLiteral("Fit &Picture"), QStringLiteral("mnuFitPicture"));
    mnuScrollBars_ =
        addItem(menu, QStringLiteral("Use &Scroll Bars"), QStringLiteral("mnuScrollBars"));
    for (QAction* mode : {mnuFitWindow_, mnuFitPicture_, mnuScrollBars_}) {
        mode->setCheckable(true);
        viewModes_->addAction(mode);
    }
    mnuFitWindow_->setChecked(true);
    connect(mnuFitWindow_, &QAction::triggered, this, &TfrmPicture::mnuFitWindowClick);
    connect(mnuFitPicture_, &QAction::triggered, this, &TfrmPicture::mnuFitPictureClick);
    connect(mnuScrollBars_, &QAction::triggered, this, &TfrmPicture::mnuScrollBarsClick);
    return menu;
}

QAction* TfrmPicture::imageCommand(const QString& componentName) const {
    for (QAction* action : imageMenu_->findChildren<QAction*>(componentName)) return action;
    return nullptr;
}

}  // namespace quarvel::app
