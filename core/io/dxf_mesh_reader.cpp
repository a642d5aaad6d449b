#include "io/dxf_mesh_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "geom/ordering.h"
#include "text/error.h"
#include "text/input_file.h"
#include "text/quoted_input.h"

namespace quarvel::io {

namespace {

// Splits text into lines: a line ends at CR (an LF right after it belongs to it) or
// at a lone LF.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    bool next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        const char* begin = text_.data() + pos_;
        const std::size_t left = text_.size() - pos_;
        std::size_t length = 0;
        while (length < left && begin[length] != '\n' && begin[length] != '\r') ++length;
        line = std::string_view(begin, length);
        pos_ += length;
        if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        ++number_;
        return true;
    }
    long number() const { return number_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    long number_ = 0;
};

// A fourth corner this close (squared distance) to the third makes the face a triangle.
constexpr double kSameCornerSquared = 1e-12;

// A number too large for a double (not one too small: from_chars reports both alike).
bool isBeyondDouble(std::string_view field) {
    // The library reads a long double through the C parser, which runs to a terminating
    // zero: the field is copied so that it has one (a field in the file has none).
    const std::string text(field);
    long double wide = 0.0L;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), wide);
    return ec == std::errc::result_out_of_range || (std::isfinite(wide) && std::fabs(wide) > 1.0L);
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Corners c1..c4 of the face being read, x/y/z each.
using FaceCorners = std::array<Vertex3, 4>;

class FaceReader {
public:
    FaceReader(std::string_view text, const std::string& fileName, MeshFaces& out)
        : lines_(text), file_(fileName), out_(out) {}

    void readAll() {
        std::string_view code;
        std::string_view value;
        bool inFace = false;
        while (nextPair(code, value)) {
            const int group = parseCode(code);
            if (group == 0 || group == 9) {
                if (inFace) addFace();
                inFace = group == 0 && value == "3DFACE";
                if (group == 0 && value == "EOF") return;
            } else if (inFace) {
                takeCoordinate(group, value);
            }
        }
        if (inFace) addFace();
    }

private:
    bool nextPair(std::string_view& code, std::string_view& value) {
        if (!lines_.next(code)) return false;
        codeLine_ = lines_.number();
        if (!lines_.next(value)) value = {};
        return true;
    }

    int parseCode(std::string_view text) const {
        const std::string_view field = trimmed(text);
        int group = 0;
        const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), group);
        if (field.empty() || ec != std::errc{} || end != field.data() + field.size())
            throw FormatError(file_, codeLine_,
                              "expected a group code, found " + quotedInput(text));
        return group;
    }

    double parseReal(std::string_view text) const {
        std::string_view field = trimmed(text);
        if (!field.empty() && field.front() == '+') field.remove_prefix(1);
        double value = 0.0;
        const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
        const bool whole = !field.empty() && end == field.data() + field.size();
        if (whole && (ec == std::errc::result_out_of_range || !std::isfinite(value)) &&
            isBeyondDouble(field))
            throw FormatError(file_, codeLine_ + 1,
                              "the number " + quotedInput(text) + " is too large");
        if (!whole || ec != std::errc{} || !std::isfinite(value))
            throw FormatError(file_, codeLine_ + 1,
                              "expected a number, found " + quotedInput(text));
        return value;
    }

    void takeCoordinate(int group, std::string_view value) {
        // 10/20/30 corner 1, 11/21/31 corner 2, 12/22/32 corner 3, 13/23/33 corner 4.
        const int axis = group / 10 - 1;
        const int corner = group % 10;
        if (group < 10 || group > 33 || corner > 3) return;
        Vertex3& v = corners_[static_cast<std::size_t>(corner)];
        (axis == 0 ? v.x : axis == 1 ? v.y : v.z) = parseReal(value);
    }

    // Sorts the corners; keeps the triangle unless it is level.
    Triangle addTriangle(Triangle t) {
        SortCorners(t);
        if (t.p3.z - t.p1.z > kMinHeightRange) out_.triangles.push_back(t);
        return t;
    }
    void addEdge(const Vertex3& a, const Vertex3& b) {
        out_.edges.push_back({{a.x, a.y, -a.z}, {b.x, b.y, -b.z}});
    }

    void addFace() {
        const auto& [c1, c2, c3, c4] = corners_;
        const Triangle a = addTriangle({c1, c2, c3});
        addEdge(a.p1, a.p2);
        addEdge(a.p2, a.p3);
        addEdge(a.p3, a.p1);
        const double dx = c4.x - c3.x, dy = c4.y - c3.y, dz = c4.z - c3.z;
        if (dx * dx + dy * dy + dz * dz > kSameCornerSquared) {  // a real fourth corner
            addTriangle({c1, c3, c4});
            addEdge(c3, c4);
            addEdge(c4, c1);
        }
    }

    LineReader lines_;
    const std::string& file_;
    MeshFaces& out_;
    FaceCorners corners_{};
    long codeLine_ = 0;
};

}  // namespace

FileBytes ReadWholeFile(const std::string& fileName) {
    InputFile file(fileName);
    // Blocks grow as needed, so that a file that changes meanwhile is still read whole.
    std::size_t capacity = static_cast<std::size_t>(file.size()) + (1 << 16);
    FileBytes bytes{std::unique_ptr<char[]>(new char[capacity]), 0};
    while (true) {
        if (bytes.size == capacity) {
            std::unique_ptr<char[]> larger(new char[capacity * 2]);
            std::copy(bytes.data.get(), bytes.data.get() + bytes.size, larger.get());
            bytes.data = std::move(larger);
            capacity *= 2;
        }
        const std::size_t got = file.read(bytes.data.get() + bytes.size, capacity - bytes.size);
        bytes.size += got;
        if (got == 0) break;
    }
    return bytes;
}

MeshFaces ReadMeshFaces(std::string_view text, const std::string& fileName) {
    const std::size_t eofMark = text.find('\x1a');  // character 26 ends the file
    if (eofMark != std::string_view::npos) text = text.substr(0, eofMark);
    // Room for every face the text can hold (at most two triangles and five edges each),
    // so that the lists never move while they grow.
    std::size_t faces = 0;
    for (std::size_t at = text.find("3DFACE"); at != std::string_view::npos;
         at = text.find("3DFACE", at + 6))
        ++faces;
    MeshFaces out;
    out.edges.reserve(std::max<std::size_t>(1000, faces * 5));
    out.triangles.reserve(faces * 2);
    FaceReader(text, fileName, out).readAll();
    out.edges.shrink_to_fit();
    out.triangles.shrink_to_fit();
    return out;
}

}  // namespace quarvel::io
