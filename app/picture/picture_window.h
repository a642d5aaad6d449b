#pragma once
// A picture document: one imaging control in a window of the main frame, with the
// document's name (the caption), its unsaved-changes mark, its view mode and the menu
// every picture command starts from.
#include <QActionGroup>
#include <QPointer>
#include <QScrollArea>
#include <cstdint>

#include "picture/twisted_pixel.h"
#include "shell/child_window.h"

class QMdiSubWindow;

namespace quarvel::app {

class TQuarvelFrame;

inline const QString kNewPictureCaption = QStringLiteral("New Picture");

// How a picture window shows its image; the values are the view mode's numbers.
enum class ViewMode : std::uint8_t {
    FitWindow = 0,   // the window snaps to the image's size
    FitPicture = 1,  // the image stretches to the window
    ScrollBars = 2,  // the window scrolls over the image at full size
};

class TfrmPicture : public QScrollArea, public MenuOwner, public PictureDocument {
    Q_OBJECT
public:
    explicit TfrmPicture(TQuarvelFrame& frame);

    TTwistedPixel* TP;
    bool Modified = false;
    ViewMode FitMode = ViewMode::FitWindow;

    QString caption() const { return windowTitle(); }
    QString filePath() const override;
    // A command changed the pixels: the picture has unsaved changes and the status bar's
    // detail shows its new size and depth.
    void markChanged();
    void LoadPictureFile(const QString& path) override;
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
    void wireCreateCommands();
    void setCaption(const QString& text);
    void setStatus(const QString& text);
    QMdiSubWindow* subWindow() const;
    void showFailure(const QString& text);
    // Writes the picture; any failure is shown, and the status is idle again either way.
    bool writePicture(const QString& name, int formatCode);
    // Save As's final name, checked: false when it names an existing file the user did
    // not agree to replace.
    bool mayReplace(const QString& name, const QString& confirmedName);
    void TPProgressReport(long done, long total);
    void TPPluginFilterComplete();

    TQuarvelFrame& frame_;
    QList<QMenu*> menus_;
    QMenu* imageMenu_ = nullptr;
    QActionGroup* viewModes_ = nullptr;
    QAction *mnuFitWindow_ = nullptr, *mnuFitPicture_ = nullptr, *mnuScrollBars_ = nullptr;
    bool sizing_ = false;
};

// The picture window a dialog was opened for. When that window has closed meanwhile the
// dialog says so and gets null.
TfrmPicture* BoundPicture(const QPointer<TfrmPicture>& picture, TQuarvelFrame& frame,
                          QWidget* dialog);

// A preview dialog's Reset: undoes every preview step, and puts back `original` when the
// history was too short to reach it.
void RestorePreview(TTwistedPixel& preview, const imaging::PixelImage& original);

}  // namespace quarvel::app
