#pragma once
// Puts the contour road into the frame: the one Create Regions dialog, the mesh windows
// with their Create, Toolpaths and Save DNC commands, and the picture windows' Raster to
// Vector command.
namespace quarvel::app {

class TQuarvelFrame;
class TfrmPicture;
class TfrmToolPaths;

// Made once, at start-up; the dialog belongs to the frame.
TfrmToolPaths* InstallRegionTools(TQuarvelFrame& frame);

// Create, Raster to Vector of a picture window: with an image, builds the job's facet
// list from the picture, opens a Vector Conversion window of the picture window's size
// and shows the dialog for it. Without an image, or while a Create is running, nothing
// happens.
void RastertoDXF1Click(TQuarvelFrame& frame, TfrmPicture& picture, TfrmToolPaths& dialog);

}  // namespace quarvel::app
