#pragma once
// What both 3D viewers do with their panel: the mouse rules (left drag turns and tilts,
// Shift with left drag shifts, right drag and the wheel zoom, any button held draws only
// the draft box), the Top and Isometric presets, and the draft box itself.
#include <QPoint>

#include "canvas3d/canvas3d.h"
#include "canvas3d/draw3d.h"
#include "view3d/model_scale.h"

class QEvent;

namespace quarvel::app {

// The window fields a drag updates.
struct ViewDrag {
    int& lastMouseX;
    int& lastMouseY;
    bool& draftMode;
};

void ApplyTopView(TDraw3D& panel);        // Rotation 0, Elevation 0, Tilt 0
void ApplyIsometricView(TDraw3D& panel);  // Rotation 345, Elevation 300, Tilt 0

// Zoom := round(-dy * 100 / panel height) + Zoom (the product in integers, halves to
// even); a result of 0 or less leaves the zoom unchanged.
void ZoomByDrag(TDraw3D& panel, int dy);

// Applies the mouse rules to one event of `panel`; true when the event was a mouse or
// wheel event (it is then used up).
bool HandleViewMouse(TDraw3D& panel, ViewDrag drag, QEvent* event);

// The two quadrilaterals of the box, at its low and high z, with the canvas pen and brush.
void DrawDraftBox(TCanvas3D& canvas, const view3d::DraftBox& box);

}  // namespace quarvel::app
