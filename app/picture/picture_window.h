#pragma once
// A picture document: one imaging control in a window of the main frame, with the
// document's name (the caption), its unsaved-changes mark, its view mode and the menu
// every picture command starts from.
#include <QActionGroup>
#include <QScrollArea>

#include "picture/twisted_pixel.h"
#include "shell/child_window.h"

class QMdiSubWindow;

namespace quarvel::app {

class TQuarvelFrame;

inline const QString kNewPictureCaption = QStringLiteral("New Picture");

class TfrmPicture : public QScrollArea, public MenuOwner, public PictureDocument {
    Q_OBJECT
public:
    explicit TfrmPicture(TQuarvelFrame& frame);

    TTwistedPixel* TP;
    bool Modified = false;
    int FitMode = 0;  // 0 fit window, 1 fit picture, 2 scroll bars

    QString caption() const { return windowTitle(); }
    void LoadPictureFile(const QString& path);
    void SizeWindowToImage();
    void NoteTargetWindow();
    bool Require24Bit();
    // The resize handling: snaps back, stretches or scrolls by FitMode.
    void FormResize();

    // File and edit commands.
    void mnuSaveClick() override;
    bool mnuSaveAsClick();  // true when a file was written
    void mnuCutClick() override;
    void mnuCopyClick() override;
    void mnuPasteClick() override;
    void mnuUndoClick();
    void mnuCropClick();
    void mnuFitWindowClick();
    void mnuFitPictureClick();
    void mnuScrollBarsClick();
    void mnuSetPluginPathClick();
    void mnuAdjustImgeClick();
    void mnu3dShade2Click();  // "3D Shade"
    void mnu3dShadeClick();   // "3D Texture Shade"
    void Resize1Click();
    void mnuLoadPluginsClick();
    void RecoverFromError() override;
    QString statusDetail() const override;
    QList<QMenu*> windowMenus() const override { return menus_; }

    // The Create menu's commands, enabled once their part of the program is wired in.
    QAction *mnuDXFSurface, *mnuGCode, *mnuRasterToVector;

    // "Image" commands, each under its component name (mnuSharpen, Popularity1, ...).
    QAction* imageCommand(const QString& componentName) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QMenu* buildFileMenu();
    QMenu* buildEditMenu();
    QMenu* buildImageMenu();
    QMenu* buildCreateMenu();
    QMenu* buildWindowMenu();
    void setCaption(const QString& text);
    void setStatus(const QString& text);
    QMdiSubWindow* subWindow() const;
    void showFailure(const QString& text);
    void TPProgressReport(long done, long total);
    void TPPluginFilterComplete();

    TQuarvelFrame& frame_;
    QList<QMenu*> menus_;
    QMenu* imageMenu_ = nullptr;
    QActionGroup* viewModes_ = nullptr;
    QAction *mnuFitWindow_ = nullptr, *mnuFitPicture_ = nullptr, *mnuScrollBars_ = nullptr;
    bool sizing_ = false;
};

// The picture window at the frame's TargetWindowIndex, or null when that position
// names no picture window.
TfrmPicture* TargetPicture(TQuarvelFrame& frame);

}  // namespace quarvel::app
