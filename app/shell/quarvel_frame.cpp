#include "shell/quarvel_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QEvent>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QSessionManager>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <iostream>

#include "shell/about_box.h"
#include "shell/artwork.h"
#include "shell/escape_filter.h"
#include "shell/help_window.h"
#include "shell/quarvel_application.h"

namespace quarvel::app {

namespace {

// Tool-bar hints are kept on every button but shown only where `kShowsHint` is set.
constexpr char kShowsHint[] = "quarvelShowsHint";

class HintFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip) return false;
        const auto* button = qobject_cast<QToolButton*>(watched);
        const QAction* action = button ? button->defaultAction() : nullptr;
        return !(action && action->property(kShowsHint).toBool());
    }
};

QAction* makeAction(QObject* owner, const QString& caption, const QString& objectName) {
    auto* action = new QAction(caption, owner);
    action->setObjectName(objectName);
    return action;
}

}  // namespace

qint64 ScreenColorCount(int bitsPerPixel, int planes) {
    const int bits = std::clamp(bitsPerPixel, 0, 24);
    return (qint64{1} << bits) * std::max(planes, 1);
}

QString ColorDepthWarning(qint64 colorCount) {
    if (colorCount >= 512) return {};
    return QStringLiteral("This program requires a Color Depth > 256 ") +
           QString::number(colorCount) + QStringLiteral(" colors detected.");
}

TQuarvelFrame::TQuarvelFrame(std::unique_ptr<UserPrompts> prompts, QWidget* parent)
    : QMainWindow(parent),
      prompts_(prompts ? std::move(prompts) : std::make_unique<UserPrompts>()) {
    setWindowTitle(QStringLiteral("Quarvel"));
    setWindowIcon(programIcon());
    resize(610, 458);
    setMinimumSize(400, 250);
    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mdi_->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &TQuarvelFrame::childActivated);
    connect(qApp, &QGuiApplication::commitDataRequest, this, &TQuarvelFrame::commitSession);

    StatusBar1 = new StatusPanels(this);
    setStatusBar(StatusBar1);
    buildMenus();
    buildToolBar();
    buildFileDialogs();
    frmAbout = new TfrmAbout(this);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    FormCreate();
}

TQuarvelFrame::~TQuarvelFrame() {
    // Children closing during destruction must not reach a half-destroyed frame.
    disconnect(mdi_, nullptr, this, nullptr);
    if (auto* app = qobject_cast<QuarvelApplication*>(QCoreApplication::instance())) {
        app->setErrorHandler(nullptr);
    }
}

void TQuarvelFrame::FormCreate() {
    qApp->installEventFilter(new EscapeFilter(job_, this));
    job_.initialiseForFrame();
    StatusBar1->setPanelWidths(width() - 100, 50);
    StatusBar1->gauge().setGaugeEnabled(false);
    DisablePictureButtons(true);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QString warning = ColorDepthWarning(ScreenColorCount(screen ? screen->depth() : 32));
    if (!warning.isEmpty()) prompts_->message(this, MessageKind::Warning, warning);
    if (auto* app = qobject_cast<QuarvelApplication*>(QCoreApplication::instance())) {
        app->setErrorHandler(
            [this](QObject* sender, const std::string& what) { HandleAppException(sender, what); });
    }
}

void TQuarvelFrame::buildMenus() {
    New1 = makeAction(this, QStringLiteral("&New Image"), QStringLiteral("New1"));
    New1->setIcon(toolIcon(QStringLiteral("document-new")));
    Load1 = makeAction(this, QStringLiteral("&Load Image"), QStringLiteral("Load1"));
    Load1->setIcon(toolIcon(QStringLiteral("document-open")));
    ImportDNCFile1 =
        makeAction(this, QStringLiteral("Import &DNC File"), QStringLiteral("ImportDNCFile1"));
    ImportDXFMesh1 =
        makeAction(this, QStringLiteral("&Import DXF Mesh"), QStringLiteral("ImportDXFMesh1"));
    SetPluginPath1 =
        makeAction(this, QStringLiteral("&Set Plugin Path"), QStringLiteral("SetPluginPath1"));
    Exit1 = makeAction(this, QStringLiteral("&Exit"), QStringLiteral("Exit1"));
    Tile1 = makeAction(this, QStringLiteral("&Tile"), QStringLiteral("Tile1"));
    Cascade1 = makeAction(this, QStringLiteral("&Cascade"), QStringLiteral("Cascade1"));
    Contents1 = makeAction(this, QStringLiteral("&Contents"), QStringLiteral("Contents1"));
    Contents1->setIcon(toolIcon(QStringLiteral("help-contents")));
    QuarvelHomePage1 =
        makeAction(this, QStringLiteral("Quarvel HomePage"), QStringLiteral("QuarvelHomePage1"));
    About1 = makeAction(this, QStringLiteral("&About"), QStringLiteral("About1"));

    connect(New1, &QAction::triggered, this, &TQuarvelFrame::New1Click);
    connect(Load1, &QAction::triggered, this, &TQuarvelFrame::Load1Click);
    connect(ImportDNCFile1, &QAction::triggered, this, &TQuarvelFrame::ImportDNCFile1Click);
    connect(ImportDXFMesh1, &QAction::triggered, this, &TQuarvelFrame::ImportDXFMesh1Click);
    connect(SetPluginPath1, &QAction::triggered, this, &TQuarvelFrame::SetPluginPath1Click);
    connect(Exit1, &QAction::triggered, this, &TQuarvelFrame::Exit1Click);
    connect(Tile1, &QAction::triggered, this, &TQuarvelFrame::Tile1Click);
    connect(Cascade1, &QAction::triggered, this, &TQuarvelFrame::Cascade1Click);
    connect(Contents1, &QAction::triggered, this, &TQuarvelFrame::Contents1Click);
    connect(QuarvelHomePage1, &QAction::triggered, this, &TQuarvelFrame::QuarvelHomePage1Click);
    connect(About1, &QAction::triggered, this, &TQuarvelFrame::About1Click);
    ImportDNCFile1->setEnabled(false);
    ImportDXFMesh1->setEnabled(false);

    auto* F1 = new QMenu(QStringLiteral("&File"), this);
    F1->setObjectName(QStringLiteral("F1"));
    F1->addActions({New1, Load1, ImportDNCFile1, ImportDXFMesh1});
    F1->addSeparator();
    F1->addAction(SetPluginPath1);
    F1->addSeparator();
    F1->addAction(Exit1);
    auto* Windows1 = new QMenu(QStringLiteral("&Window"), this);
    Windows1->setObjectName(QStringLiteral("Windows1"));
    Windows1->addActions({Tile1, Cascade1});
    auto* Help1 = new QMenu(QStringLiteral("&Help"), this);
    Help1->setObjectName(QStringLiteral("Help1"));
    Help1->addAction(Contents1);
    Help1->addSeparator();
    Help1->addAction(QuarvelHomePage1);
    Help1->addSeparator();
    Help1->addAction(About1);
    frameMenus_ = {F1, Windows1, Help1};
    installMenus(frameMenus_);
}

void TQuarvelFrame::buildToolBar() {
    ToolBar1 = addToolBar(QStringLiteral("Tools"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(22, 22));
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    auto button = [this](const QString& name, const QString& icon, const QString& hint) {
        QAction* action = makeAction(this, hint, name);
        action->setIcon(toolIcon(icon));
        action->setToolTip(hint);
        ToolBar1->addAction(action);
        return action;
    };
    ToolButton1 = button("ToolButton1", "document-new", "New Image");
    ToolButton2 = button("ToolButton2", "document-open", "Open Image");
    ToolButton3 = button("ToolButton3", "document-save", "Save Image");
    ToolBar1->addSeparator();
    ToolButton4 = button("ToolButton4", "edit-cut", "Cut Image");
    ToolButton6 = button("ToolButton6", "edit-copy", "Copy Image");
    ToolButton7 = button("ToolButton7", "edit-paste", "Paste Image");
    ToolButton7->setProperty(kShowsHint, true);
    ToolBar1->addSeparator();
    ToolButton10 = button("ToolButton10", "help-contents", QString());
    ToolBar1->addSeparator();
    auto* hints = new HintFilter(ToolBar1);
    for (QAction* action : ToolBar1->actions()) {
        if (QWidget* w = ToolBar1->widgetForAction(action)) w->installEventFilter(hints);
    }

    connect(ToolButton1, &QAction::triggered, this, &TQuarvelFrame::New1Click);
    connect(ToolButton2, &QAction::triggered, this, &TQuarvelFrame::Load1Click);
    connect(ToolButton10, &QAction::triggered, this, &TQuarvelFrame::Contents1Click);
    connect(ToolButton3, &QAction::triggered, this, [this] {
        if (PictureDocument* picture = activePicture()) picture->mnuSaveClick();
    });
    connect(ToolButton4, &QAction::triggered, this, [this] {
        if (PictureDocument* picture = activePicture()) picture->mnuCutClick();
    });
    connect(ToolButton6, &QAction::triggered, this, [this] {
        if (PictureDocument* picture = activePicture()) picture->mnuCopyClick();
    });
    connect(ToolButton7, &QAction::triggered, this, [this] {
        if (PictureDocument* picture = activePicture()) picture->mnuPasteClick();
    });
}

void TQuarvelFrame::buildFileDialogs() {
    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    SaveDialog1 = new QFileDialog(this);
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setFileMode(QFileDialog::AnyFile);
    SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite, false);
}

void TQuarvelFrame::installMenus(const QList<QMenu*>& menus) {
    menuBar()->clear();
    for (QMenu* menu : menus) menuBar()->addMenu(menu);
}

void TQuarvelFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    StatusBar1->setPanelWidths(width() - 200, 100);
}

QList<QWidget*> TQuarvelFrame::childWindows() const {
    QList<QWidget*> children;
    const auto windows = mdi_->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) children << (*it)->widget();
    return children;
}

QWidget* TQuarvelFrame::childAt(int position) const {
    const QList<QWidget*> children = childWindows();
    return position >= 0 && position < children.size() ? children[position] : nullptr;
}

QWidget* TQuarvelFrame::activeChild() const {
    QMdiSubWindow* sub = mdi_->activeSubWindow();
    return sub ? sub->widget() : nullptr;
}

PictureDocument* TQuarvelFrame::activePicture() const {
    return dynamic_cast<PictureDocument*>(activeChild());
}

QMdiSubWindow* TQuarvelFrame::addChildWindow(QWidget* window) {
    QMdiSubWindow* sub = mdi_->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(window->windowIcon().isNull() ? programIcon() : window->windowIcon());
    sub->show();
    return sub;
}

void TQuarvelFrame::childActivated(QMdiSubWindow* window) {
    QWidget* child = window ? window->widget() : nullptr;
    const auto* owner = dynamic_cast<MenuOwner*>(child);
    installMenus(owner ? owner->windowMenus() : frameMenus_);
    if (const PictureDocument* picture = activePicture()) {
        DisablePictureButtons(false);
        StatusBar1->setDetail(picture->statusDetail());
    }
}

void TQuarvelFrame::ShowReady() { StatusBar1->setMessage(kReadyText); }

void TQuarvelFrame::DisablePictureButtons(bool disable) {
    for (QAction* action : {ToolButton3, ToolButton4, ToolButton6, ToolButton7}) {
        action->setEnabled(!disable);
    }
}

void TQuarvelFrame::HandleAppException(QObject* sender, const std::string& what) {
    std::cerr << "quarvel: error";
    if (sender && !sender->objectName().isEmpty()) {
        std::cerr << " in " << sender->objectName().toStdString();
    }
    std::cerr << ": " << what << '\n';
    if (PictureDocument* picture = activePicture()) picture->RecoverFromError();
}

void TQuarvelFrame::SetPluginPath1Click() {
    const QString folder =
        prompts_->chooseFolder(this, QStringLiteral("Select Plug Ins Path"), QDir::homePath());
    if (!folder.isEmpty()) job_.PluginPath = folder.toStdString();
}

void TQuarvelFrame::Exit1Click() { close(); }

void TQuarvelFrame::closeEvent(QCloseEvent* event) {
    if (!closeAllChildren()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

bool TQuarvelFrame::closeAllChildren() {
    QList<QPointer<QMdiSubWindow>> windows;
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::StackingOrder)) windows.prepend(sub);
    // Topmost first; each comes to the front so the user sees what a question is about.
    for (const QPointer<QMdiSubWindow>& sub : windows) {
        if (!sub) continue;
        mdi_->setActiveSubWindow(sub);
        if (!sub->close()) return false;
    }
    return true;
}

// The session is ending (logout): the same questions as Exit, and a Cancel stops the logout.
void TQuarvelFrame::commitSession(QSessionManager& manager) {
    if (!manager.allowsInteraction()) return;
    const bool closed = closeAllChildren();
    manager.release();
    if (!closed) manager.cancel();
}

QString TQuarvelFrame::startFolder(const QString& nearFile) const {
    QString file = nearFile;
    if (file.isEmpty()) {
        if (const PictureDocument* picture = activePicture()) file = picture->filePath();
    }
    if (!file.isEmpty()) {
        const QFileInfo info(file);
        if (info.isAbsolute() && info.absoluteDir().exists()) return info.absolutePath();
    }
    if (!lastFolder_.isEmpty() && QDir(lastFolder_).exists()) return lastFolder_;
    return QDir::homePath();
}

bool TQuarvelFrame::runFileDialog(QFileDialog& dialog, const QString& nearFile) {
    dialog.setDirectory(startFolder(nearFile));
    if (!prompts_->runFileDialog(dialog)) return false;
    const QString chosen = dialog.selectedFiles().value(0);
    if (!chosen.isEmpty()) lastFolder_ = QFileInfo(chosen).absolutePath();
    return true;
}

void TQuarvelFrame::Tile1Click() { tileHorizontally(); }

void TQuarvelFrame::Cascade1Click() { mdi_->cascadeSubWindows(); }

// Children one above the other, each the full width of the frame, the active one on top.
void TQuarvelFrame::tileHorizontally() {
    QList<QMdiSubWindow*> windows;
    const auto stack = mdi_->subWindowList(QMdiArea::StackingOrder);
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if ((*it)->isVisible() && !(*it)->isMinimized()) windows << *it;
    }
    if (windows.isEmpty()) return;
    const QRect area = mdi_->viewport()->rect();
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        const int top = area.top() + area.height() * i / count;
        const int bottom = area.top() + area.height() * (i + 1) / count;
        if (windows[i]->isMaximized()) windows[i]->showNormal();
        windows[i]->setGeometry(area.left(), top, area.width(), bottom - top);
    }
}

void TQuarvelFrame::Contents1Click() {
    if (!help_) help_ = new HelpWindow(this);
    help_->showContents();
}

void TQuarvelFrame::QuarvelHomePage1Click() { QDesktopServices::openUrl(QUrl(kHomePageUrl)); }

void TQuarvelFrame::About1Click() { prompts_->runModal(*frmAbout); }

}  // namespace quarvel::app
