// Fuzz target: the DNC (G-code) reader on arbitrary bytes. Besides not crashing, the
// result must hold together: records in line order, one arc entry per arc record,
// bounds around the origin and every point move, the listed lines among those read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "gcode/dnc_reader.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

void checkResult(const quarvel::gcode::DncReadResult& r) {
    using namespace quarvel::gcode;
    const quarvel::MeshBounds& b = r.bounds;
    require(b.minX <= 0 && b.maxX >= 0 && b.minY <= 0 && b.maxY >= 0);
    require(b.minZ <= 0 && b.maxZ >= 0);
    std::size_t arcs = 0;
    std::int32_t lastLine = 0;
    for (const GCodeMove& m : r.moves) {
        require(m.lineNo >= lastLine && m.lineNo >= 1 && m.lineNo <= r.lineCount);
        lastLine = m.lineNo;
        if (isArcCode(m.code)) {
            require(arcs < r.arcs.size() && &r.moves[r.arcs[arcs].move] == &m);
            ++arcs;
        } else if (m.code != kFeedChangeCode) {
            require(m.x >= b.minX && m.x <= b.maxX && m.y >= b.minY && m.y <= b.maxY);
            require(m.z >= b.minZ && m.z <= b.maxZ);
        }
    }
    require(arcs == r.arcs.size());
    require(r.notUnderstoodCount >= static_cast<std::int64_t>(r.linesNotUnderstood.size()));
    for (const std::int64_t n : r.linesNotUnderstood) require(n >= 1 && n <= r.lineCount);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkResult(quarvel::gcode::ReadDncText(text));
    return 0;
}
