#include "canvas3d/draw3d.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPaintEvent>

namespace quarvel::app {

TDraw3D::TDraw3D(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    resize(400, 250);
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    setAutoFillBackground(false);
}

void TDraw3D::setOption(int& field, int value) {
    if (field == value) return;
    field = value;
    update();
}

void TDraw3D::setOption(bool& field, bool value) {
    if (field == value) return;
    field = value;
    update();
}

void TDraw3D::setRotation(int degrees) { setOption(options_.Rotation, degrees); }
void TDraw3D::setElevation(int degrees) { setOption(options_.Elevation, degrees); }
void TDraw3D::setTilt(int degrees) { setOption(options_.Tilt, degrees); }
void TDraw3D::setPerspective(int strength) { setOption(options_.Perspective, strength); }
void TDraw3D::setZoomText(bool scaled) { setOption(options_.ZoomText, scaled); }
void TDraw3D::setOrthogonal(bool oblique) { setOption(options_.Orthogonal, oblique); }

void TDraw3D::setZoom(int percent) {
    if (options_.Zoom == percent) return;
    emit zoomed();
    setOption(options_.Zoom, percent);
}

void TDraw3D::setHorizOffset(int pixels) {
    if (options_.HorizOffset == pixels) return;
    emit scrolled();
    setOption(options_.HorizOffset, pixels);
}

void TDraw3D::setVertOffset(int pixels) {
    if (options_.VertOffset == pixels) return;
    emit scrolled();
    setOption(options_.VertOffset, pixels);
}

view3d::PixelRect TDraw3D::chartRect() const {
    return view3d::ChartRect({0, 0, width(), height()}, frameWidth());
}

view3d::Projection TDraw3D::projection() const {
    return view3d::MakeProjection(&options_, chartRect());
}

void TDraw3D::ensureBuffer() {
    if (buffer_.size() == size()) return;
    buffer_ = QImage(size(), QImage::Format_RGB32);
    ++allocations_;
}

void TDraw3D::paintOn(QPainter& painter) {
    ++paints_;
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QPen(Qt::black, penWidth_));
    painter.setBrush(brushColor_);
    if (onPaint_) {
        TCanvas3D canvas(painter, projection());
        onPaint_(canvas);
    }
    drawFrame(&painter);
}

void TDraw3D::paintPicture() {
    if (size().isEmpty()) return;
    ensureBuffer();
    QPainter painter(&buffer_);
    paintOn(painter);
}

void TDraw3D::drawOnLastPicture(const PaintHandler& draw) {
    if (buffer_.isNull()) return;
    {
        QPainter painter(&buffer_);
        painter.setPen(QPen(Qt::black, penWidth_));
        painter.setBrush(brushColor_);
        TCanvas3D canvas(painter, projection());
        draw(canvas);
    }
    showOnly_ = true;
    repaint();
}

QImage TDraw3D::renderPicture() {
    const bool wasBuffered = buffered_;
    buffered_ = false;
    QImage image(size(), QImage::Format_RGB32);
    {
        QPainter painter(&image);
        paintOn(painter);
    }
    buffered_ = wasBuffered;
    return image;
}

void TDraw3D::CopyToClipboard() { QGuiApplication::clipboard()->setImage(renderPicture()); }

void TDraw3D::paintEvent(QPaintEvent*) {
    const bool showOnly = showOnly_ && !buffer_.isNull() && buffer_.size() == size();
    showOnly_ = false;
    if (!buffered_) {
        QPainter painter(this);
        paintOn(painter);
        return;
    }
    if (!showOnly) paintPicture();
    QPainter painter(this);
    painter.drawImage(0, 0, buffer_);
}

}  // namespace quarvel::app
