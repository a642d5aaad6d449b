#pragma once
// Puts the mesh windows into the frame: the window factory for Raster to Vector and
// Import Mesh, and the import of a chosen DXF or STL file.
#include <QString>

#include "meshview/dxf_view.h"

namespace quarvel::app {

class TQuarvelFrame;

// Sets the frame's mesh-window factory and mesh importer; `commands` go to every window.
void InstallMeshWindows(TQuarvelFrame& frame, MeshWindowCommands commands = {});

// The import once a file is chosen: a new mesh window in the Top view, CancelRequested
// cleared, the file loaded; a cancelled or failed load closes the window again.
// Returns the window when it stays open.
TfrmDXFView* ImportMeshFile(TQuarvelFrame& frame, const QString& path);

// True for the names the command line opens as meshes (.dxf, .stl in any case).
bool IsMeshFileName(const QString& path);

}  // namespace quarvel::app
