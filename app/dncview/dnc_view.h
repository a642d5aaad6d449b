#pragma once
// The DNC viewer: a G-code file's text beside a 3D plot of its moves (rapids blue, feed
// moves and arcs green, one polyline from the origin) that the mouse turns, tilts, zooms
// and shifts like the mesh window.
#include <QWidget>
#include <optional>

#include "canvas3d/draw3d.h"
#include "dncview/dnc_text_pane.h"
#include "gcode/gcode_move.h"
#include "shell/child_window.h"
#include "view3d/dnc_plot.h"
#include "view3d/model_scale.h"

class QAction;
class QMenu;
class QSplitter;

namespace quarvel::app {

class TQuarvelFrame;

inline const QString kDncCaption = QStringLiteral("View DNC File");
inline const QString kNoFileLoadedText = QStringLiteral("No File Loaded");

enum class DncLoadResult { Loaded, NoFile, Failed, Cancelled };

class TfrmDnc : public QWidget, public MenuOwner {
    Q_OBJECT
public:
    explicit TfrmDnc(TQuarvelFrame& frame);

    QList<QMenu*> windowMenus() const override { return menus_; }
    const gcode::DncReadResult& document() const { return read_; }

    // Reads `fileName` into the move list and extents, fills the text pane and shows the
    // plot in the Isometric view. Escape (CancelRequested) stops the reading or the
    // filling of the text pane: Cancelled, with the window as it was. A file that cannot
    // be read is reported in a message box: Failed, the window still showing
    // "No File Loaded". An empty name reads nothing (NoFile).
    DncLoadResult LoadDnc(const QString& fileName);

    // Moves the splitter to a third of the window's width.
    void placeSplitter();
    void FormActivate();
    void Draw3DPaint(TCanvas3D& canvas);
    void mnuTopClick();
    void mnuIsometricClick();
    // Puts the text pane's cursor on the first line the reader did not understand.
    void mnuFirstNotUnderstoodClick();
    // What the status bar's detail panel says about the lines not understood.
    QString notUnderstoodText() const;

    TDraw3D* Draw3D;
    QSplitter* Splitter1;
    DncTextPane* DncText;
    bool DraftMode = false;
    double ViewScale = 1.0;
    int LastMouseX = 0, LastMouseY = 0;
    QAction *mnuClose, *mnuTop, *mnuIsometric, *mnuFirstNotUnderstood;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    QMenu* buildFileMenu();
    QMenu* buildViewMenu();
    gcode::DncReadResult readFile(const QString& fileName);
    void showLoaded(const QString& fileName, gcode::DncReadResult read);
    const view3d::DncPlot& plotFor(const view3d::ModelScale& scale);

    TQuarvelFrame& frame_;
    QList<QMenu*> menus_;
    gcode::DncReadResult read_;
    // The panel points depend only on the scale and base line, not on the view, so a
    // turn or zoom reuses them; a new size or file makes them again.
    std::optional<view3d::DncPlot> plot_;
    view3d::ModelScale plotScale_;
    bool loaded_ = false;
};

}  // namespace quarvel::app
