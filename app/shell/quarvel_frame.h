#pragma once
// The program's main window: a multiple-document frame holding picture, mesh and DNC
// viewer windows. It owns the job state, the status bar, the shared open and save
// dialogs and the long-lived dialogs, and offers the small operations child windows call.
#include <QFileDialog>
#include <QMainWindow>
#include <QMdiArea>
#include <QPointer>
#include <functional>
#include <memory>

#include "shell/child_window.h"
#include "shell/status_panels.h"
#include "shell/user_prompts.h"
#include "state/job_state.h"

class QAction;
class QCloseEvent;
class QMenu;
class QSessionManager;
class QMdiSubWindow;
class QToolBar;

namespace quarvel::app {

class HelpWindow;
class TfrmAbout;
class TfrmPicture;

inline const QString kHomePageUrl = QStringLiteral("https://quarvel.org/");

// 2 ^ min(24, bitsPerPixel) x planes.
qint64 ScreenColorCount(int bitsPerPixel, int planes = 1);
// The start-up warning for a screen of `colorCount` colours; empty when none is due.
QString ColorDepthWarning(qint64 colorCount);

class TQuarvelFrame : public QMainWindow {
    Q_OBJECT
public:
    using WindowFactory = std::function<QWidget*(TQuarvelFrame&)>;
    using FileImporter = std::function<void(TQuarvelFrame&, const QString& path)>;
    using PictureCommand = std::function<void(TfrmPicture&)>;

    // `prompts` answers every modal question (a scripted one in tests).
    explicit TQuarvelFrame(std::unique_ptr<UserPrompts> prompts = nullptr,
                           QWidget* parent = nullptr);
    ~TQuarvelFrame() override;

    JobState& jobState() { return job_; }
    StatusPanels& status() { return *StatusBar1; }
    UserPrompts& prompts() { return *prompts_; }
    QFileDialog& openDialog() { return *OpenDialog1; }
    QFileDialog& saveDialog() { return *SaveDialog1; }
    QMdiArea& mdiArea() { return *mdi_; }
    // The Direction dialog, made once for the run by whoever provides the picture windows.
    QDialog& directionDialog() { return *direction_; }
    void setDirectionDialog(QDialog* dialog) { direction_ = dialog; }

    // Child windows, newest first (the order TargetWindowIndex counts in).
    QList<QWidget*> childWindows() const;
    QWidget* childAt(int position) const;
    QWidget* activeChild() const;
    // Makes `window` an MDI child that frees itself when closed, and shows it.
    QMdiSubWindow* addChildWindow(QWidget* window);

    // Runs one of the shared file dialogs. It starts in the folder of `nearFile` when given,
    // else of the active picture, else in the folder last used in this run, else at home;
    // a confirmed choice becomes the folder last used.
    bool runFileDialog(QFileDialog& dialog, const QString& nearFile = {});
    // Closes every child window in turn, each with its own questions (save changes?);
    // false as soon as one stays open.
    bool closeAllChildren();

    void ShowReady();
    void DisablePictureButtons(bool disable);
    void OpenAdjustmentDialog();
    void OpenTextureShadeDialog();
    void OpenResizeDialog();
    QWidget* OpenSurfaceJobDialog();
    QWidget* OpenMeshWindow();
    void HandleAppException(QObject* sender, const std::string& what);

    // Hooks for the windows other parts of the program provide; a command whose hook is
    // not set stays disabled.
    void setPictureWindowFactory(WindowFactory factory);
    // The picture dialogs; each factory binds its dialog to the active picture window and
    // returns null when that is no picture.
    void setPictureDialogFactories(WindowFactory adjustment, WindowFactory textureShade,
                                   WindowFactory resize);
    void setSurfaceJobFactory(WindowFactory factory);
    void setMeshWindowFactory(WindowFactory factory);
    void setDxfMeshImporter(FileImporter importer);
    void setDncImporter(FileImporter importer);
    // The picture windows' Create commands (DXF Surface, G-Code, Raster to Vector).
    void setCreateCommands(PictureCommand dxfSurface, PictureCommand gCode,
                           PictureCommand rasterToVector);
    void setRasterToVectorCommand(PictureCommand rasterToVector);
    struct CreateCommands {
        PictureCommand dxfSurface, gCode, rasterToVector;
    };
    // What a new picture window's Create menu connects to; an unset command stays disabled.
    const CreateCommands& createCommands() const { return createCommands_; }

    // Opens a picture file into a new picture window, as Load Image does once a file
    // is chosen. Null when no picture windows are provided.
    QWidget* openPicture(const QString& path);
    // Shows the frame's own menus, or those of the active child.
    void installMenus(const QList<QMenu*>& menus);
    QList<QMenu*> frameMenus() const { return frameMenus_; }

    // Menu commands.
    void New1Click();
    void Load1Click();
    void ImportDNCFile1Click();
    void ImportDXFMesh1Click();
    void SetPluginPath1Click();
    void Exit1Click();
    void Tile1Click();
    void Cascade1Click();
    void Contents1Click();
    void QuarvelHomePage1Click();
    void About1Click();

    // Components under their designer names.
    QAction *New1, *Load1, *ImportDNCFile1, *ImportDXFMesh1, *SetPluginPath1, *Exit1;
    QAction *Tile1, *Cascade1, *Contents1, *QuarvelHomePage1, *About1;
    QAction *ToolButton1, *ToolButton2, *ToolButton3, *ToolButton4, *ToolButton6, *ToolButton7,
        *ToolButton10;
    QToolBar* ToolBar1;
    StatusPanels* StatusBar1;
    QFileDialog* OpenDialog1;
    QFileDialog* SaveDialog1;
    TfrmAbout* frmAbout;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Closing the frame ends the program, so every window is asked first.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildFileDialogs();
    void FormCreate();
    void childActivated(QMdiSubWindow* window);
    PictureDocument* activePicture() const;
    void tileHorizontally();
    QString startFolder(const QString& nearFile) const;
    void commitSession(QSessionManager& manager);
    // Makes a child window with `factory`, when set and when it gives one.
    QWidget* openDialogFrom(const WindowFactory& factory);

    JobState job_;
    std::unique_ptr<UserPrompts> prompts_;
    QMdiArea* mdi_;
    QPointer<QDialog> direction_;
    QPointer<HelpWindow> help_;
    QList<QMenu*> frameMenus_;
    QString lastFolder_;
    WindowFactory pictureWindowFactory_;
    WindowFactory adjustmentFactory_;
    WindowFactory textureShadeFactory_;
    WindowFactory resizeFactory_;
    WindowFactory surfaceJobFactory_;
    WindowFactory meshWindowFactory_;
    FileImporter dxfMeshImporter_;
    FileImporter dncImporter_;
    CreateCommands createCommands_;
};

}  // namespace quarvel::app
