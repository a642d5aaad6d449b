#include "meshview/dxf_view.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <algorithm>

#include "canvas3d/view_control.h"
#include "engine/mesh_loading.h"
#include "io/stl_reader.h"
#include "shell/busy_cursor.h"
#include "shell/quarvel_frame.h"
#include "shell/status_progress.h"
#include "text/error.h"

namespace quarvel::app {

namespace {
const QColor kRegionColor(0, 0, 255);

int pixel(double value) { return view3d::RoundToPixel(value); }
}  // namespace

TfrmDXFView::TfrmDXFView(TQuarvelFrame& frame, MeshWindowKind kind, MeshWindowCommands commands)
    : frame_(frame), kind_(kind), commands_(std::move(commands)) {
    mesh_.Caption = kind_ == MeshWindowKind::VectorConversion ? engine::kVectorConversionCaption
                                                              : engine::kMeshCaption;
    setWindowTitle(QString::fromStdString(mesh_.Caption));
    setObjectName(QStringLiteral("frmDXFView"));
    resize(480, 360);
    Draw3D = new TDraw3D(this);
    Draw3D->setObjectName(QStringLiteral("Draw3D"));
    Draw3D->setOrthogonal(false);
    Draw3D->setPerspective(0);
    Draw3D->setRotation(0);
    Draw3D->setElevation(0);
    Draw3D->setBufferedDisplay(true);
    Draw3D->setCursor(Qt::CrossCursor);
    Draw3D->setContextMenuPolicy(Qt::PreventContextMenu);  // the right button zooms
    Draw3D->setPenWidth(1);
    Draw3D->setBrushColor(Qt::black);
    Draw3D->setOnPaint([this](TCanvas3D& canvas) { Draw3DPaint(canvas); });
    Draw3D->installEventFilter(this);
    Draw3D->setGeometry(0, 0, width(), height());
    buildMenus();
    SaveDNC1->setEnabled(false);
    SaveDXF1->setEnabled(false);
    connect(&frame_.mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (sub && sub->widget() == this) FormActivate();
    });
}

void TfrmDXFView::FormActivate() {
    frame_.DisablePictureButtons(true);
    const bool hasRegions = !mesh_.Regions.empty();
    SaveDNC1->setEnabled(hasRegions && commands_.saveDnc);
    SaveDXF1->setEnabled(hasRegions);
    const bool meshItems = kind_ != MeshWindowKind::VectorConversion;
    mnuCreate->menuAction()->setVisible(meshItems);
    for (QAction* item : {mnuMeshSeparator, mnuMesh, mnuToolpaths}) item->setVisible(meshItems);
}

QSize TfrmDXFView::outerSize() const {
    // The panel spans the whole window, frame included, not just its client area.
    if (const auto* sub = qobject_cast<const QMdiSubWindow*>(parentWidget())) return sub->size();
    return size();
}

void TfrmDXFView::placePanel() {
    const QSize outer = outerSize();
    Draw3D->setGeometry(0, 0, outer.width(), outer.height());
}

void TfrmDXFView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placePanel();
}

void TfrmDXFView::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    if (commands_.closing) commands_.closing(*this);
    mesh_.Edges = {};
    mesh_.Triangles = {};
    frame_.ShowReady();
    event->accept();
}

MeshViewScale TfrmDXFView::viewScaleFor(const quarvel::MeshBounds& b) const {
    const QSize outer = outerSize();
    return view3d::FitModelScale(b, outer.width(), outer.height(), Draw3D->chartRect().bottom);
}

void TfrmDXFView::Draw3DPaint(TCanvas3D& canvas) {
    quarvel::MeshBounds& b = mesh_.Bounds;
    const MeshViewScale view = viewScaleFor(b);
    b = view3d::DrawnBounds(b);
    ViewScale = view.scale;
    base_ = view.base;
    const double s = ViewScale;
    const int base = base_;
    const bool regionsShown = !mesh_.Regions.empty() && mnuToolpaths->isChecked();
    canvas.setPenColor(regionsShown ? palette().color(QPalette::Button) : QColor(Qt::black));
    if (DraftMode) {
        DrawDraftBox(canvas, view3d::DraftBoxOf(b, view));
        return;
    }
    BusyCursor busy;
    if (mnuMesh->isChecked()) {
        for (const Edge& e : mesh_.Edges) {
            canvas.MovePen3D(pixel(e.a.x * s), base - pixel(e.a.y * s), pixel(e.a.z * s));
            canvas.DrawLine3D(pixel(e.b.x * s), base - pixel(e.b.y * s), pixel(e.b.z * s));
        }
    }
    if (mnuToolpaths->isChecked()) DrawRegions(canvas);
}

void TfrmDXFView::DrawRegions(TCanvas3D& canvas) {
    for (const engine::TRegion& region : mesh_.Regions) DrawRegion(canvas, region);
}

void TfrmDXFView::DrawRegion(TCanvas3D& canvas, const engine::TRegion& region) {
    drawScaledRegion(canvas, region, 1.0, 1.0);
}

void TfrmDXFView::drawScaledRegion(TCanvas3D& canvas, const engine::TRegion& region, double xyScale,
                                   double depthScale) {
    canvas.setPenColor(kRegionColor);
    const double s = ViewScale * xyScale;
    const int z = -pixel(region.depth * depthScale * ViewScale);
    // Segments run end to start, and a slice gives many shorter than a pixel: the pen moves
    // only where a chain breaks, and a line that stays on the pen's pixel adds nothing once
    // the region has drawn one (its end pixel is drawn already).
    bool drewLine = false;
    int penX = 0, penY = 0;
    for (const engine::TMyEntity& seg : region.segments) {
        const int x1 = pixel(seg.x1 * s), y1 = base_ - pixel(seg.y1 * s);
        const int x2 = pixel(seg.x2 * s), y2 = base_ - pixel(seg.y2 * s);
        const bool atPen = drewLine && x1 == penX && y1 == penY;
        if (atPen && x2 == penX && y2 == penY) continue;
        if (!atPen) canvas.MovePen3D(x1, y1, z);
        canvas.DrawLine3D(x2, y2, z);
        drewLine = true;
        penX = x2;
        penY = y2;
    }
}

void TfrmDXFView::DrawRegionNow(const engine::TRegion& region) {
    Draw3D->drawOnLastPicture([&](TCanvas3D& canvas) { DrawRegion(canvas, region); });
}

void TfrmDXFView::DrawRegionsNow(const engine::TRegionArray& regions, std::size_t firstNew,
                                 double xyScale, double depthScale) {
    Draw3D->drawOnLastPicture([&](TCanvas3D& canvas) {
        for (std::size_t i = firstNew; i < regions.size(); ++i)
            drawScaledRegion(canvas, regions[i], xyScale, depthScale);
    });
}

void TfrmDXFView::setRunning(bool running) {
    if (running == running_) return;
    running_ = running;
    if (running) {
        saveDncWasEnabled_ = SaveDNC1->isEnabled();
        saveDxfWasEnabled_ = SaveDXF1->isEnabled();
    }
    SaveDNC1->setEnabled(!running && saveDncWasEnabled_);
    SaveDXF1->setEnabled(!running && saveDxfWasEnabled_);
    mnuClose->setEnabled(!running);
}

QString TfrmDXFView::sourceFile() const {
    if (!sourceFile_.isEmpty()) return sourceFile_;
    return kind_ == MeshWindowKind::ImportedMesh && mesh_.Caption != engine::kMeshCaption
               ? QString::fromStdString(mesh_.Caption)
               : QString();
}

void TfrmDXFView::mnuTopClick() { ApplyTopView(*Draw3D); }

void TfrmDXFView::mnuIsometricClick() { ApplyIsometricView(*Draw3D); }

void TfrmDXFView::mnuFitClick() {
    const quarvel::MeshBounds& b = mesh_.Bounds;
    const MeshViewScale view = viewScaleFor(b);
    const double s = view.scale;
    const view3d::ScreenPoint offsets = view3d::OffsetsToCentre(
        Draw3D->projection(), pixel((b.minX + b.maxX) / 2 * s),
        view.base - pixel((b.minY + b.maxY) / 2 * s), pixel((b.minZ + b.maxZ) / 2 * s));
    Draw3D->setHorizOffset(offsets.x);
    Draw3D->setVertOffset(offsets.y);
}

bool TfrmDXFView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Draw3D && HandleViewMouse(*Draw3D, {LastMouseX, LastMouseY, DraftMode}, event))
        return true;
    return QWidget::eventFilter(watched, event);
}

engine::MeshLoadOutcome TfrmDXFView::readMeshFile(const QString& fileName) {
    StatusPanels& status = frame_.status();
    const auto show = [&status](const std::string& text) {
        status.setMessage(QString::fromStdString(text));
        status.repaintNow();
    };
    status.gauge().setGaugeEnabled(true);
    StatusProgress progress(status, frame_.jobState());
    BusyCursor busy;
    DraftMode = true;
    return engine::LoadMesh(fileName.toStdString(), mesh_, progress, show);
}

// A bad file leaves nothing behind: no part of a mesh is ever shown.
void TfrmDXFView::reportLoadFailure(const QString& fileName, const quarvel::Error& error) {
    DraftMode = false;
    mesh_.Edges = {};
    mesh_.Triangles = {};
    const bool dxfNumber =
        dynamic_cast<const FormatError*>(&error) && !io::IsStlFileName(fileName.toStdString());
    frame_.prompts().message(this, MessageKind::Warning,
                             (dxfNumber ? QStringLiteral("Invalid numeric input\n\n") : QString()) +
                                 QString::fromStdString(error.what()));
    frame_.ShowReady();
}

MeshLoadResult TfrmDXFView::LoadMesh(const QString& fileName) {
    if (!QFileInfo::exists(fileName)) return MeshLoadResult::Missing;
    engine::MeshLoadOutcome outcome;
    try {
        outcome = readMeshFile(fileName);
    } catch (const quarvel::Error& e) {
        reportLoadFailure(fileName, e);
        return MeshLoadResult::Failed;
    }
    if (outcome.status == RunStatus::Cancelled) return MeshLoadResult::Cancelled;
    StatusPanels& status = frame_.status();
    setWindowTitle(fileName);
    DraftMode = false;
    status.gauge().setPosition(95);
    mnuIsometricClick();
    Draw3D->update();
    status.setDetail(QStringLiteral("Done"));
    status.setMessage(QString::fromStdString(outcome.message));
    status.gauge().setPosition(100);
    return MeshLoadResult::Loaded;
}

}  // namespace quarvel::app
