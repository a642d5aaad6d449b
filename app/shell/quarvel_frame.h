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
class QMenu;
class QMdiSubWindow;
class QToolBar;

namespace quarvel::app {

class HelpWindow;
class TfrmAbout;
class TfrmDirection;
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
    TfrmDirection& directionDialog() { return *direction_; }

    // Child windows, newest first (the order TargetWindowIndex counts in).
    QList<QWidget*> childWindows() const;
    QWidget* childAt(int position) const;
    QWidget* activeChild() const;
    // Makes `window` an MDI child that frees itself when closed, and shows it.
    QMdiSubWindow* addChildWindow(QWidget* window);

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
    void setSurfaceJobFactory(WindowFactory factory);
    void setMeshWindowFactory(WindowFactory factory);
    void setDxfMeshImporter(FileImporter importer);
    void setDncImporter(FileImporter importer);
    // The picture windows' Create commands (DXF Surface, G-Code, Raster to Vector).
    void setCreateCommands(PictureCommand dxfSurface, PictureCommand gCode,
                           PictureCommand rasterToVector);
    void setRasterToVectorCommand(PictureCommand rasterToVector);
    // Connects a new picture window's Create menu to the commands that are set.
    void wireCreateCommands(TfrmPicture& picture);

    // Opens a picture file into a new picture window, as Load Image does once a file
    // is chosen.
    TfrmPicture* openPicture(const QString& path);
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

private:
    void buildMenus();
    void buildToolBar();
    void buildFileDialogs();
    void FormCreate();
    void childActivated(QMdiSubWindow* window);
    PictureDocument* activePicture() const;
    void tileHorizontally();

    JobState job_;
    std::unique_ptr<UserPrompts> prompts_;
    QMdiArea* mdi_;
    TfrmDirection* direction_;
    QPointer<HelpWindow> help_;
    QList<QMenu*> frameMenus_;
    WindowFactory surfaceJobFactory_;
    WindowFactory meshWindowFactory_;
    FileImporter dxfMeshImporter_;
    FileImporter dncImporter_;
    PictureCommand dxfSurfaceCommand_;
    PictureCommand gCodeCommand_;
    PictureCommand rasterToVectorCommand_;
};

}  // namespace quarvel::app
