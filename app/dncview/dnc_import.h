#pragma once
// Puts the DNC viewer into the frame: File, Import DNC File of the frame and of every
// child window, and the files named on the command line.
#include <QString>

namespace quarvel::app {

class TQuarvelFrame;
class TfrmDnc;

// Sets the frame's DNC importer.
void InstallDncViewer(TQuarvelFrame& frame);

// The import once a file is chosen: a new viewer in the Top view, CancelRequested
// cleared, the file loaded. A load cancelled with Escape closes the viewer again; a file
// that cannot be read leaves it open with "No File Loaded". Returns the viewer when it
// stays open.
TfrmDnc* ImportDncFile(TQuarvelFrame& frame, const QString& path);

// True for the names the command line opens in a DNC viewer: .dnc, .nc, .ngc, .gcode
// and .tap in any case.
bool IsDncFileName(const QString& path);

}  // namespace quarvel::app
