// Fuzz target: the STL reader on arbitrary bytes. A file is either read whole, every
// corner a finite number, or refused with a FormatError; nothing else may come out.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "io/stl_reader.h"
#include "text/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        for (const quarvel::Triangle& t : quarvel::io::ReadStlFaces(bytes, "fuzz.stl")) {
            for (const quarvel::Vertex3& v : {t.p1, t.p2, t.p3})
                if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) std::abort();
        }
    } catch (const quarvel::FormatError&) {
        // refused: what a damaged file must give
    }
    return 0;
}
