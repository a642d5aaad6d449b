#pragma once
// TDraw3D: a sunken panel that draws through a TCanvas3D. Its view options decide the
// projection; each setter repaints only when the value changes. The whole paint goes to
// an off-screen picture kept between paints and made again only when the size changes.
#include <QFrame>
#include <QImage>
#include <functional>

#include "canvas3d/canvas3d.h"
#include "view3d/view_options.h"

namespace quarvel::app {

class TDraw3D : public QFrame {
    Q_OBJECT
public:
    using PaintHandler = std::function<void(TCanvas3D&)>;

    explicit TDraw3D(QWidget* parent = nullptr);

    const view3d::TView3DOptions& View3DOptions() const { return options_; }
    void setRotation(int degrees);
    void setElevation(int degrees);
    void setTilt(int degrees);
    void setPerspective(int strength);
    void setZoom(int percent);
    void setZoomText(bool scaled);
    void setHorizOffset(int pixels);
    void setVertOffset(int pixels);
    void setOrthogonal(bool oblique);

    bool BufferedDisplay() const { return buffered_; }
    void setBufferedDisplay(bool on) { buffered_ = on; }
    void setOnPaint(PaintHandler handler) { onPaint_ = std::move(handler); }
    void setPenWidth(int width) { penWidth_ = width; }
    void setBrushColor(const QColor& color) { brushColor_ = color; }

    // The chart rectangle and projection a paint at the current size uses.
    view3d::PixelRect chartRect() const;
    view3d::Projection projection() const;

    // Paints into the off-screen picture now (what a paint event shows).
    void paintPicture();
    const QImage& picture() const { return buffer_; }
    // Draws onto the picture of the last paint and shows it, without a full paint.
    void drawOnLastPicture(const PaintHandler& draw);
    // A new picture of the client size, painted with BufferedDisplay off.
    QImage renderPicture();
    // Places renderPicture() on the clipboard.
    void CopyToClipboard();
    // How many times the off-screen picture was made (it is kept between paints).
    int pictureAllocations() const { return allocations_; }
    int paintCount() const { return paints_; }

signals:
    void scrolled();  // HorizOffset or VertOffset is about to change
    void zoomed();    // Zoom is about to change

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void setOption(int& field, int value);
    void setOption(bool& field, bool value);
    void paintOn(QPainter& painter);
    void ensureBuffer();

    view3d::TView3DOptions options_;
    bool buffered_ = true;
    PaintHandler onPaint_;
    int penWidth_ = 1;
    QColor brushColor_ = Qt::black;
    QImage buffer_;
    bool showOnly_ = false;  // the next paint event shows the picture as it is
    int allocations_ = 0;
    int paints_ = 0;
};

}  // namespace quarvel::app
