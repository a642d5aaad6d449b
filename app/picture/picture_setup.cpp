#include "picture/picture_setup.h"

#include "picture/adjustment_dialog.h"
#include "picture/direction_dialog.h"
#include "picture/picture_window.h"
#include "picture/resize_dialog.h"
#include "picture/texture_shade_dialog.h"
#include "shell/quarvel_frame.h"

namespace quarvel::app {

namespace {
// A dialog factory that runs only while a picture window is the active child.
template <typename Make>
TQuarvelFrame::WindowFactory forActivePicture(Make make) {
    return [make](TQuarvelFrame& frame) -> QWidget* {
        auto* picture = qobject_cast<TfrmPicture*>(frame.activeChild());
        return picture ? make(frame, *picture) : nullptr;
    };
}
}  // namespace

void installPictureWindows(TQuarvelFrame& frame) {
    frame.setDirectionDialog(new TfrmDirection(frame.jobState(), &frame));
    frame.setPictureWindowFactory(
        [](TQuarvelFrame& owner) -> QWidget* { return new TfrmPicture(owner); });
    // The preview dialogs receive the picture through the clipboard.
    frame.setPictureDialogFactories(
        forActivePicture([](TQuarvelFrame& owner, TfrmPicture& picture) -> QWidget* {
            picture.TP->model().Copy();
            return new TfrmAdjustment1(owner, picture);
        }),
        forActivePicture([](TQuarvelFrame& owner, TfrmPicture& picture) -> QWidget* {
            picture.TP->model().Copy();
            return new TfrmLambert(owner, picture);
        }),
        forActivePicture([](TQuarvelFrame& owner, TfrmPicture& picture) -> QWidget* {
            return new TfrmResize(owner, picture);
        }));
}

}  // namespace quarvel::app
