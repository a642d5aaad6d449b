#include "canvas3d/view_control.h"

#include <QMouseEvent>
#include <QWheelEvent>

namespace quarvel::app {

namespace {

void setView(TDraw3D& panel, int rotation, int elevation, int tilt) {
    panel.setRotation(rotation);
    panel.setElevation(elevation);
    panel.setTilt(tilt);
}

void mouseDown(ViewDrag drag, const QPoint& at) {
    drag.lastMouseX = at.x();
    drag.lastMouseY = at.y();
    drag.draftMode = true;
}

// The cases compare the exact set of held buttons and keys; any other set only tracks.
void mouseMove(TDraw3D& panel, ViewDrag drag, const QPoint& at, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers keys) {
    const int dx = at.x() - drag.lastMouseX, dy = at.y() - drag.lastMouseY;
    const Qt::KeyboardModifiers held = keys & ~Qt::KeypadModifier;
    const view3d::TView3DOptions& o = panel.View3DOptions();
    if (buttons == Qt::LeftButton && held == Qt::NoModifier) {
        panel.setElevation(o.Elevation + dy);
        panel.setRotation(o.Rotation - dx);
    } else if (buttons == Qt::LeftButton && held == Qt::ShiftModifier) {
        panel.setHorizOffset(o.HorizOffset + dx);
        panel.setVertOffset(o.VertOffset + dy);
    } else if (buttons == Qt::RightButton && held == Qt::NoModifier) {
        ZoomByDrag(panel, dy);
    }
    drag.lastMouseX = at.x();
    drag.lastMouseY = at.y();
}

void mouseUp(TDraw3D& panel, ViewDrag drag) {
    drag.draftMode = false;
    panel.update();
}

}  // namespace

void ApplyTopView(TDraw3D& panel) { setView(panel, 0, 0, 0); }

void ApplyIsometricView(TDraw3D& panel) { setView(panel, 345, 300, 0); }

void ZoomByDrag(TDraw3D& panel, int dy) {
    const int height = panel.height();
    if (height <= 0 || dy == 0) return;
    const int zoom =
        view3d::RoundToPixel(static_cast<double>(-dy * 100) / height) + panel.View3DOptions().Zoom;
    if (zoom > 0) panel.setZoom(zoom);
}

bool HandleViewMouse(TDraw3D& panel, ViewDrag drag, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            mouseDown(drag, static_cast<QMouseEvent*>(event)->position().toPoint());
            return true;
        case QEvent::MouseMove: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            mouseMove(panel, drag, mouse->position().toPoint(), mouse->buttons(),
                      mouse->modifiers());
            return true;
        }
        case QEvent::MouseButtonRelease: mouseUp(panel, drag); return true;
        case QEvent::Wheel: {
            // Each notch (120) zooms as a right drag over a tenth of the panel height.
            const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
            ZoomByDrag(panel, -delta * panel.height() / 1200);
            return true;
        }
        default: return false;
    }
}

void DrawDraftBox(TCanvas3D& canvas, const view3d::DraftBox& box) {
    canvas.FillQuadAtDepth(box.rect, box.lowZ);
    canvas.FillQuadAtDepth(box.rect, box.highZ);
}

}  // namespace quarvel::app
