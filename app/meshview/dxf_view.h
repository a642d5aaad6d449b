#pragma once
// The mesh window: the wire frame of an imported mesh and the regions of its runs in a
// 3D panel that the mouse turns, tilts, zooms and shifts. The same class shows the
// regions of a picture's Vector Conversion; the window knows which it is from birth.
#include <QWidget>
#include <functional>

#include "canvas3d/draw3d.h"
#include "view3d/model_scale.h"
#include "engine/mesh_document.h"
#include "engine/mesh_loading.h"
#include "machine/program_frame.h"
#include "text/error.h"
#include "shell/child_window.h"

class QAction;
class QMenu;

namespace quarvel::app {

class TQuarvelFrame;
class TfrmDXFView;

enum class MeshWindowKind { ImportedMesh, VectorConversion };

// Commands that other parts of the program give the mesh windows; an unset command
// leaves its menu item disabled.
struct MeshWindowCommands {
    std::function<void(TfrmDXFView&)> createToolpaths;  // Create, Toolpaths
    std::function<void(TfrmDXFView&)> saveDnc;          // File, Save DNC
    std::function<void(TfrmDXFView&)> saveDxf;          // File, Save DXF (default: SaveDXF1Click)
    std::function<void(TfrmDXFView&)> closing;          // the window is closing
};

enum class MeshLoadResult { Loaded, Missing, Cancelled, Failed };

// The base line and scale one paint draws the model with.
using MeshViewScale = view3d::ModelScale;

class TfrmDXFView : public QWidget, public MenuOwner {
    Q_OBJECT
public:
    TfrmDXFView(TQuarvelFrame& frame, MeshWindowKind kind, MeshWindowCommands commands = {});

    MeshWindowKind kind() const { return kind_; }
    engine::MeshDocument& document() { return mesh_; }
    const engine::MeshDocument& document() const { return mesh_; }
    QList<QMenu*> windowMenus() const override { return menus_; }
    // The frame's window list sizes a new child by this: without it an imported mesh
    // opened as a strip with no room to draw in.
    QSize sizeHint() const override { return {480, 360}; }

    // Reads a DXF or STL mesh into this window with the status-bar texts and cancel
    // checks of the import; on a bad file shows the error and leaves the lists empty.
    MeshLoadResult LoadMesh(const QString& fileName);

    void FormActivate();
    void Draw3DPaint(TCanvas3D& canvas);
    // Regions 1..last onto the canvas (without clearing it), in list order.
    void DrawRegions(TCanvas3D& canvas);
    void DrawRegion(TCanvas3D& canvas, const engine::TRegion& region);
    // One region onto the picture of the last paint, shown at once (during a run).
    void DrawRegionNow(const engine::TRegion& region);
    // Entries firstNew..last of `regions` onto the picture of the last paint, shown once;
    // x and y are multiplied by xyScale and depths by depthScale first (a picture run's
    // levels are still in pixels and grey levels).
    void DrawRegionsNow(const engine::TRegionArray& regions, std::size_t firstNew,
                        double xyScale = 1.0, double depthScale = 1.0);

    // While a run lets events through: Save DNC, Save DXF and Close are disabled and the
    // window does not close; afterwards they are as they were.
    void setRunning(bool running);
    bool isRunning() const { return running_; }
    // The file the window's content came from (the mesh file, or the picture of a Vector
    // Conversion); the save dialogs start in its folder and offer its base name.
    QString sourceFile() const;
    void setSourceFile(const QString& path) { sourceFile_ = path; }

    // Writes the regions as DXF polylines to a file chosen in the frame's save dialog.
    void SaveDXF1Click();
    // Orders the regions and writes them as a DNC tool path to a file chosen in the
    // frame's save dialog, with the feed rate and rapid height of the last run; panel 0
    // then names the file and the number of regions written.
    void SaveDNC1Click(double feedRate, double rapidHeight,
                       const machine::MachineJob& machineJob = {});
    void mnuTopClick();
    void mnuIsometricClick();
    void mnuFitClick();

    // Scale and base line for a panel of the window's outer size (the paint's step 1).
    MeshViewScale viewScaleFor(const quarvel::MeshBounds& bounds) const;

    TDraw3D* Draw3D;
    bool DraftMode = false;
    double ViewScale = 1.0;
    int LastMouseX = 0, LastMouseY = 0;
    QAction *SaveDNC1, *SaveDXF1, *mnuClose, *mnuCopy;
    QAction *mnuTop, *mnuIsometric, *mnuFit, *mnuMesh, *mnuToolpaths, *mnuMeshSeparator;
    QAction* mnuCreateToolpaths;
    QMenu* mnuCreate;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    QMenu* buildFileMenu();
    QMenu* buildViewMenu();
    void placePanel();
    void drawScaledRegion(TCanvas3D& canvas, const engine::TRegion& region, double xyScale,
                          double depthScale);
    QSize outerSize() const;
    engine::MeshLoadOutcome readMeshFile(const QString& fileName);
    // Prepares the save dialog for `extension` ("Dnc", "Dxf") and runs it; the chosen
    // path, with the extension added when none was typed, or empty when cancelled.
    QString askSaveFile(const QString& filter, const QString& extension);
    void reportLoadFailure(const QString& fileName, const quarvel::Error& error);

    TQuarvelFrame& frame_;
    MeshWindowKind kind_;
    MeshWindowCommands commands_;
    engine::MeshDocument mesh_;
    QList<QMenu*> menus_;
    int base_ = 0;  // base line of the last paint
    bool running_ = false;
    bool saveDncWasEnabled_ = false, saveDxfWasEnabled_ = false;
    QString sourceFile_;
};

}  // namespace quarvel::app
