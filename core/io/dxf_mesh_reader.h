#pragma once
// Reading a faceted surface from the 3DFACE entities of DXF text: the outline edges
// (z negated, the orientation the view draws) and the triangles (z as in the file).
#include <memory>
#include <string>
#include <string_view>

#include "geom/types.h"
#include "io/mesh_faces.h"

namespace quarvel::io {

// A DXF file's faces give three edges per triangle face, five per four-cornered face (its
// outline and the diagonal from corner 1 to corner 3), and one or two triangles per face
// with corners in ascending z, in file order. A triangle that is level within
// kMinHeightRange gives its edges but is not kept.

// Reads DXF text as group-code / value line pairs (lines end in CR LF, LF or CR; a
// character 26 ends the text). A code 0 with the value "3DFACE" (exactly) starts a face,
// which ends at the next code 0 or 9; codes 10..33 give its corners, other codes are
// skipped with their value; code 0 with "EOF" ends reading. A corner value a face does
// not give keeps the previous face's value (0 for the first face). Throws FormatError
// (fileName, line) for a group code or coordinate that is not a finite number.
MeshFaces ReadMeshFaces(std::string_view text, const std::string& fileName);

// A file's bytes, read whole into one uninitialised block.
struct FileBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    std::string_view view() const { return {data.get(), size}; }
};
// Throws IoError for a folder, a device or pipe, a file that cannot be opened, a read
// error, or a file past the input size limit (text/input_file.h).
FileBytes ReadWholeFile(const std::string& fileName);

}  // namespace quarvel::io
