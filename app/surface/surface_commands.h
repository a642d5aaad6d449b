#pragma once
// How a picture window opens the surface job dialog: its Create, DXF Surface and
// Create, G-Code commands, and the frame's factory for the dialog.
#include "state/job_state.h"
#include "surface/surface_dialog.h"

namespace quarvel::app {

class TQuarvelFrame;
class TfrmPicture;

// Fills job.HeightGrid from the picture's image (red bytes of a 24-bit copy) for the
// current job.JobMode: with a frame of 255 in mode 10, as it is otherwise. A picture
// without an image gives an empty grid.
void SamplePictureGrid(const TfrmPicture& picture, JobState& job);

// The dialog for the frame's OpenSurfaceJobDialog (its surface-job factory): built on the
// frame's job state, status bar, prompts and save dialog, and on the picture at
// TargetWindowIndex - 1 (the dialog is not yet in the frame's child list). The frame
// makes it a child window.
TDXF* createSurfaceJobDialog(TQuarvelFrame& frame);

// "&DXF Surface" and "&G-Code" of a picture window: with an image, note the picture as
// the target, set JobMode (10 or 20; G-Code also sets JobFileName to the file-name part
// of the caption), sample the grid and open the dialog. Without an image nothing happens.
void DXFSurface1Click(TQuarvelFrame& frame, TfrmPicture& picture);
void GCode1Click(TQuarvelFrame& frame, TfrmPicture& picture);

}  // namespace quarvel::app
