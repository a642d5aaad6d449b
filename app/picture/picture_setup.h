#pragma once
// Gives the main frame its picture windows: the window made by New Image and Load Image,
// the Direction dialog and the dialogs of the Image menu.
namespace quarvel::app {

class TQuarvelFrame;

void installPictureWindows(TQuarvelFrame& frame);

}  // namespace quarvel::app
