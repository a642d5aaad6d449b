#include "dncview/dnc_view.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "canvas3d/view_control.h"
#include "shell/busy_cursor.h"
#include "shell/quarvel_frame.h"

namespace quarvel::app {

namespace {
const QColor kRapidPen(0, 0, 255);
const QColor kFeedPen(0, 128, 0);
}  // namespace

TfrmDnc::TfrmDnc(TQuarvelFrame& frame) : frame_(frame) {
    setObjectName(QStringLiteral("frmDnc"));
    setWindowTitle(kDncCaption);
    resize(600, 400);
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    Draw3D = new TDraw3D(Splitter1);
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
    DncText = new DncTextPane(Splitter1);
    DncText->setObjectName(QStringLiteral("DncText"));
    DncText->setMinimumSize(10, 20);
    DncText->setText(kNoFileLoadedText.toUtf8());
    Splitter1->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Splitter1);
    placeSplitter();
    buildMenus();
    mnuFirstNotUnderstood->setEnabled(false);
    connect(&frame_.mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (sub && sub->widget() == this) FormActivate();
    });
}

void TfrmDnc::FormActivate() {
    frame_.DisablePictureButtons(true);
    if (loaded_) frame_.status().setDetail(notUnderstoodText());
}

QString TfrmDnc::notUnderstoodText() const {
    const qint64 count = read_.notUnderstoodCount;
    if (count == 0) return QStringLiteral("All lines understood");
    return QString::number(count) + (count == 1 ? QStringLiteral(" line not understood")
                                                : QStringLiteral(" lines not understood"));
}

void TfrmDnc::placeSplitter() {
    const int total = std::max(width() - Splitter1->handleWidth(), 2);
    Splitter1->setSizes({width() / 3, total - width() / 3});
}

void TfrmDnc::closeEvent(QCloseEvent* event) {
    read_ = {};
    plot_.reset();
    loaded_ = false;
    frame_.ShowReady();
    event->accept();
}

bool TfrmDnc::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Draw3D && HandleViewMouse(*Draw3D, {LastMouseX, LastMouseY, DraftMode}, event))
        return true;
    return QWidget::eventFilter(watched, event);
}

void TfrmDnc::mnuTopClick() { ApplyTopView(*Draw3D); }

void TfrmDnc::mnuIsometricClick() { ApplyIsometricView(*Draw3D); }

void TfrmDnc::mnuFirstNotUnderstoodClick() {
    if (read_.linesNotUnderstood.empty()) return;
    if (DncText->showLine(read_.linesNotUnderstood.front())) DncText->setFocus();
}

const view3d::DncPlot& TfrmDnc::plotFor(const view3d::ModelScale& scale) {
    if (!plot_ || plotScale_ != scale) {
        plot_ = view3d::DncPlotPoints(read_, scale);
        plotScale_ = scale;
    }
    return *plot_;
}

// The panel takes a third of the window, so the plot is fitted to the panel itself.
void TfrmDnc::Draw3DPaint(TCanvas3D& canvas) {
    const view3d::ModelScale scale = view3d::FitModelScale(
        read_.bounds, Draw3D->width(), Draw3D->height(), Draw3D->chartRect().bottom);
    ViewScale = scale.scale;
    canvas.setPenColor(Qt::black);
    if (DraftMode) {
        DrawDraftBox(canvas, view3d::DraftBoxOf(view3d::DrawnBounds(read_.bounds), scale));
        return;
    }
    if (read_.moves.empty()) return;
    BusyCursor busy;
    const view3d::DncPlot& plot = plotFor(scale);
    canvas.MovePen3D(plot.origin.x, plot.origin.y, plot.origin.z);
    std::optional<view3d::PlotPen> pen;
    for (const view3d::PlotPoint& p : plot.points) {
        if (p.pen != pen) {
            pen = p.pen;
            canvas.setPenColor(p.pen == view3d::PlotPen::Rapid ? kRapidPen : kFeedPen);
        }
        canvas.DrawLine3D(p.at.x, p.at.y, p.at.z);
    }
}

}  // namespace quarvel::app
