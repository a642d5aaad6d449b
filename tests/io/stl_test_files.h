#pragma once
// STL files written by the tests themselves: binary (little-endian floats) and ASCII
// text of the same faces.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "geom/types.h"

namespace quarvel::test {

inline void appendWord(std::string& out, std::uint32_t w) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((w >> (8 * i)) & 0xff);
}

inline void appendFloat(std::string& out, float f) {
    std::uint32_t w = 0;
    std::memcpy(&w, &f, 4);
    appendWord(out, w);
}

// `comment` fills the start of the 80-byte head; `count` overrides the facet count.
inline std::string binaryStl(const std::vector<Triangle>& faces, const std::string& comment = "",
                             long count = -1) {
    std::string out = comment.substr(0, 80);
    out.resize(80, ' ');
    appendWord(out,
               static_cast<std::uint32_t>(count < 0 ? static_cast<long>(faces.size()) : count));
    for (const Triangle& t : faces) {
        for (int k = 0; k < 3; ++k) appendFloat(out, 0.0f);  // normal
        for (const Vertex3& v : {t.p1, t.p2, t.p3}) {
            appendFloat(out, static_cast<float>(v.x));
            appendFloat(out, static_cast<float>(v.y));
            appendFloat(out, static_cast<float>(v.z));
        }
        out += std::string(2, '\0');
    }
    return out;
}

inline std::string asciiFacet(const std::string& x1, const std::string& y1, const std::string& z1,
                              const std::string& x2, const std::string& y2, const std::string& z2,
                              const std::string& x3, const std::string& y3, const std::string& z3) {
    return "  facet normal 0 0 1\n    outer loop\n      vertex " + x1 + " " + y1 + " " + z1 +
           "\n      vertex " + x2 + " " + y2 + " " + z2 + "\n      vertex " + x3 + " " + y3 + " " +
           z3 + "\n    endloop\n  endfacet\n";
}

inline std::string asciiStl(const std::vector<Triangle>& faces) {
    std::ostringstream out;
    out.precision(17);
    out << "solid test part\n";
    for (const Triangle& t : faces) {
        out << "  facet normal 0 0 1\n    outer loop\n";
        for (const Vertex3& v : {t.p1, t.p2, t.p3})
            out << "      vertex " << v.x << ' ' << v.y << ' ' << v.z << "\n";
        out << "    endloop\n  endfacet\n";
    }
    out << "endsolid test part\n";
    return out.str();
}

inline std::string writeTestFile(const std::string& name, const std::string& bytes) {
    const auto dir = std::filesystem::temp_directory_path() / "quarvel_stl_tests";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

}  // namespace quarvel::test
