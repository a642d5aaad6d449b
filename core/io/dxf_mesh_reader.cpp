#include "io/dxf_mesh_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include "geom/ordering.h"
#include "text/error.h"

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

// A triangle whose corners span no more than this in z is level: it gives edges only.
constexpr double kMinHeightRange = 1e-6;
// A fourth corner this close (squared distance) to the third makes the face a triangle.
constexpr double kSameCornerSquared = 1e-12;

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Corners c1..c4 of the face being read, x/y/z each.
using FaceCorners = std::array<Vertex3, 4>;

class FaceReader {
public:
    FaceReader(std::string_view text, const std::string& fileName, engine::MeshDocument& mesh)
        : lines_(text), file_(fileName), mesh_(mesh) {}

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
                              "expected a group code, found '" + std::string(text) + "'");
        return group;
    }

    double parseReal(std::string_view text) const {
        std::string_view field = trimmed(text);
        if (!field.empty() && field.front() == '+') field.remove_prefix(1);
        double value = 0.0;
        const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
        if (field.empty() || ec != std::errc{} || end != field.data() + field.size() ||
            !std::isfinite(value))
            throw FormatError(file_, codeLine_ + 1,
                              "expected a number, found '" + std::string(text) + "'");
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

    // Sorts the corners; keeps the triangle unless it is level within 1e-6.
    Triangle addTriangle(Triangle t) {
        SortCorners(t);
        if (t.p3.z - t.p1.z > kMinHeightRange) mesh_.Triangles.push_back(t);
        return t;
    }
    void addEdge(const Vertex3& a, const Vertex3& b) {
        mesh_.Edges.push_back({{a.x, a.y, -a.z}, {b.x, b.y, -b.z}});
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
    engine::MeshDocument& mesh_;
    FaceCorners corners_{};
    long codeLine_ = 0;
};

// A file's bytes, read whole into one uninitialised block.
struct FileBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    std::string_view view() const { return {data.get(), size}; }
};

FileBytes readWholeFile(const std::string& fileName) {
    std::error_code error;
    if (std::filesystem::is_directory(fileName, error)) throw IoError(fileName, "is a folder");
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(fileName.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) throw IoError(fileName, std::strerror(errno));
    // Blocks grow as needed, so that a file that changes meanwhile is still read whole.
    const auto expected = std::filesystem::file_size(fileName, error);
    std::size_t capacity = (error ? 0 : static_cast<std::size_t>(expected)) + (1 << 16);
    FileBytes bytes{std::unique_ptr<char[]>(new char[capacity]), 0};
    while (true) {
        if (bytes.size == capacity) {
            std::unique_ptr<char[]> larger(new char[capacity * 2]);
            std::copy(bytes.data.get(), bytes.data.get() + bytes.size, larger.get());
            bytes.data = std::move(larger);
            capacity *= 2;
        }
        const std::size_t got =
            std::fread(bytes.data.get() + bytes.size, 1, capacity - bytes.size, file.get());
        bytes.size += got;
        if (got == 0) break;
    }
    if (std::ferror(file.get())) throw IoError(fileName, "read error");
    return bytes;
}

}  // namespace

void ReadMeshFaces(std::string_view text, const std::string& fileName, engine::MeshDocument& mesh) {
    const std::size_t eofMark = text.find('\x1a');  // character 26 ends the file
    if (eofMark != std::string_view::npos) text = text.substr(0, eofMark);
    // Room for every face the text can hold (at most two triangles and five edges each),
    // so that the lists never move while they grow.
    std::size_t faces = 0;
    for (std::size_t at = text.find("3DFACE"); at != std::string_view::npos;
         at = text.find("3DFACE", at + 6))
        ++faces;
    mesh.Edges.reserve(mesh.Edges.size() + std::max<std::size_t>(1000, faces * 5));
    mesh.Triangles.reserve(mesh.Triangles.size() + faces * 2);
    FaceReader(text, fileName, mesh).readAll();
    mesh.Edges.shrink_to_fit();
    mesh.Triangles.shrink_to_fit();
}

std::string LoadingMessage(const std::string& fileName) {
    return "Loading " + fileName + "... Esc to Cancel.";
}

std::string MeshLoadedMessage(const std::string& fileName, std::size_t facets) {
    return fileName + " Succesfully loaded... " + std::to_string(facets) +
           " Facets displayed. Use mouse to change view.";
}

MeshLoadOutcome LoadMesh(const std::string& fileName, engine::MeshDocument& mesh,
                         Progress& progress, const StatusText& showStatus) {
    if (!std::filesystem::exists(fileName)) {
        MeshLoadOutcome missing;
        missing.fileFound = false;
        return missing;
    }
    const auto show = [&](const std::string& text) {
        if (showStatus) showStatus(text);
    };
    show(LoadingMessage(fileName));
    progress.setPosition(10);
    const FileBytes text = readWholeFile(fileName);
    progress.setPosition(5);
    ReadMeshFaces(text.view(), fileName, mesh);
    MeshLoadOutcome outcome;
    outcome.status = RunStatus::Cancelled;
    show("Processing Mesh... Esc to Cancel.");
    progress.setPosition(25);
    if (!progress.pumpAndCheck()) return outcome;
    EdgeExtents(mesh.Edges, mesh.Bounds);
    progress.setPosition(85);
    if (!progress.pumpAndCheck()) return outcome;
    const bool sorted = SortByLowestZ(
        mesh.Triangles, 0, static_cast<std::int64_t>(mesh.Triangles.size()) - 1, progress);
    if (!sorted) return outcome;
    mesh.Caption = fileName;
    progress.setPosition(95);
    outcome.status = RunStatus::Completed;
    outcome.message = MeshLoadedMessage(fileName, mesh.Triangles.size());
    show(outcome.message);
    progress.setPosition(100);
    return outcome;
}

}  // namespace quarvel::io
