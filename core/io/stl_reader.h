#pragma once
// Reading the faces of an STL file, binary or ASCII, without interpreting them: every
// facet's three corners in file order, normals ignored. Turning the faces into a mesh
// window's edges and triangles is the loading step's work.
#include <string>
#include <string_view>
#include <vector>

#include "geom/types.h"

namespace quarvel::io {

enum class StlEncoding { Binary, Ascii };

// ASCII when the bytes start with "solid" (any letter case), unless they are exactly as long as a
// binary file whose head counts N facets (84 + 50 x N bytes): binary exporters are free to start
// their 80-byte comment with "solid" too. Binary otherwise.
StlEncoding DetectStlEncoding(std::string_view bytes);

// The faces of an STL file held in memory; `fileName` names it in errors. Throws
// FormatError: for a binary file shorter than its head says (line 0: binary files have
// no lines), for an ASCII file that breaks the facet grammar or ends before "endsolid"
// (with the line), and for a corner that is not a finite number. Never returns part
// of a file.
std::vector<Triangle> ReadStlFaces(std::string_view bytes, const std::string& fileName);

// Reads the file whole and returns its faces. Throws IoError when it cannot be read.
std::vector<Triangle> ReadStlFile(const std::string& fileName);

// True for names ending in ".stl" in any letter case.
bool IsStlFileName(const std::string& fileName);

}  // namespace quarvel::io
