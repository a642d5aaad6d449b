#include "gcode/dnc_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <numbers>

#include "gcode/line_words.h"
#include "text/error.h"

namespace quarvel::gcode {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Angle of (dx, dy) in [0, 2*pi).
double angleOf(double dx, double dy) {
    double a = std::atan2(dy, dx);
    if (a < 0.0) a += kTwoPi;
    if (a >= kTwoPi) a -= kTwoPi;  // -tiny + 2*pi may round up to 2*pi
    return a;
}

void widen(double v, double& lo, double& hi) {
    if (v < lo) {
        lo = v;
    } else if (v > hi) {
        hi = v;
    }
}

class Reader {
public:
    explicit Reader(DncReadResult& out) : out_(out) {}

    void readLine(std::string_view line, std::int64_t lineNo) {
        const LineWords w = splitWords(line);
        if (w.notUnderstood) noteNotUnderstood(lineNo);
        const auto no = static_cast<std::int32_t>(lineNo);
        if (w.f.present && w.f.converted) {
            feed_ = w.f.value;
            GCodeMove r;
            r.code = kFeedChangeCode;
            r.lineNo = no;
            r.feed = feed_;
            out_.moves.push_back(r);
        }
        if (w.motion != kNoMotion) {
            motion_ = w.motion;
            if (isArcCode(motion_)) i_ = j_ = 0.0f;
        } else if (!(w.x.present || w.y.present || w.z.present || w.i.present || w.j.present)) {
            return;
        }
        applyAxis(w.x, x_);
        applyAxis(w.y, y_);
        applyAxis(w.z, z_);
        if (isArcCode(motion_)) {
            applyAxis(w.i, i_);
            applyAxis(w.j, j_);
        }
        appendMove(no, w.motion != kNoMotion && !isArcCode(motion_));
    }

private:
    static void applyAxis(const Word& word, float& axis) {
        if (word.present && word.converted) axis = word.value;
    }

    // A motion word that is not an arc records no offsets; a modal line keeps them.
    void appendMove(std::int32_t lineNo, bool zeroOffsets) {
        GCodeMove r;
        r.code = motion_;
        r.lineNo = lineNo;
        r.feed = feed_;
        r.x = x_;
        r.y = y_;
        r.z = z_;
        if (!zeroOffsets) {
            r.i = i_;
            r.j = j_;
        }
        if (isArcCode(motion_)) {
            addArc(r);
        } else {
            MeshBounds& b = out_.bounds;
            widen(r.x, b.minX, b.maxX);
            widen(r.y, b.minY, b.maxY);
            widen(r.z, b.minZ, b.maxZ);
        }
        out_.moves.push_back(r);
        startX_ = x_;
        startY_ = y_;
    }

    void addArc(const GCodeMove& r) {
        GCodeArc arc;
        arc.move = out_.moves.size();
        arc.centreX = static_cast<double>(startX_) + r.i;
        arc.centreY = static_cast<double>(startY_) + r.j;
        arc.radius = std::sqrt(static_cast<double>(r.i) * r.i + static_cast<double>(r.j) * r.j);
        arc.startAngle = angleOf(-static_cast<double>(r.i), -static_cast<double>(r.j));
        // Exact comparison intended: the same file text gives the same float.
        const bool fullTurn = x_ == startX_ && y_ == startY_;
        arc.endAngle = fullTurn ? arc.startAngle : angleOf(r.x - arc.centreX, r.y - arc.centreY);
        if (r.code == kClockwiseArcCode) {
            if (arc.endAngle >= arc.startAngle) arc.endAngle -= kTwoPi;
        } else if (arc.endAngle <= arc.startAngle) {
            arc.endAngle += kTwoPi;
        }
        out_.arcs.push_back(arc);
        MeshBounds& b = out_.bounds;
        b.minX = std::min(b.minX, arc.centreX - arc.radius);
        b.maxX = std::max(b.maxX, arc.centreX + arc.radius);
        b.minY = std::min(b.minY, arc.centreY - arc.radius);
        b.maxY = std::max(b.maxY, arc.centreY + arc.radius);
    }

    void noteNotUnderstood(std::int64_t lineNo) {
        ++out_.notUnderstoodCount;
        if (out_.linesNotUnderstood.size() < kListedLinesNotUnderstood)
            out_.linesNotUnderstood.push_back(lineNo);
    }

    DncReadResult& out_;
    float x_ = 0.0f, y_ = 0.0f, z_ = 0.0f, i_ = 0.0f, j_ = 0.0f;
    float startX_ = 0.0f, startY_ = 0.0f;
    float feed_ = 0.0f;
    std::int32_t motion_ = kBeforeMotionCode;
};

// Length of the line starting at `text`, up to (not including) its CR or LF.
std::size_t lineLength(std::string_view text, std::size_t from) {
    std::size_t p = from;
    const std::size_t n = text.size();
    while (p < n && text[p] != '\r' && text[p] != '\n') ++p;
    return p - from;
}

}  // namespace

DncReadResult ReadDncText(std::string_view text, Progress& progress) {
    DncReadResult result;
    text = text.substr(0, std::min(text.size(), text.find('\x1a')));
    Reader reader(result);
    LoopProgress loop(progress, static_cast<std::int64_t>(text.size()));
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (!loop.step(static_cast<std::int64_t>(pos))) {
            result.status = RunStatus::Cancelled;
            return result;
        }
        const std::size_t length = lineLength(text, pos);
        reader.readLine(text.substr(pos, length), ++result.lineCount);
        pos += length;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;
    }
    result.bounds.spanX = result.bounds.maxX - result.bounds.minX;
    result.bounds.spanY = result.bounds.maxY - result.bounds.minY;
    return result;
}

DncReadResult ReadDncText(std::string_view text) {
    NullProgress none;
    return ReadDncText(text, none);
}

namespace {

class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

std::string readWholeFile(const std::string& path) {
    // Not blocking on open, so that a FIFO given by mistake is refused, not waited on.
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.fd() < 0) throw IoError(path, std::strerror(errno));
    struct stat info {};
    if (::fstat(file.fd(), &info) != 0) throw IoError(path, std::strerror(errno));
    if (!S_ISREG(info.st_mode)) throw IoError(path, "not a regular file");
    if (static_cast<std::uintmax_t>(info.st_size) > kMaxDncFileBytes)
        throw IoError(path, "file larger than 1 GiB; not read");
    std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(file.fd(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw IoError(path, std::strerror(errno));
        if (got == 0) break;  // the file shrank while being read
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

}  // namespace

DncReadResult LoadDncFile(const std::string& path, Progress& progress) {
    const std::string bytes = readWholeFile(path);
    return ReadDncText(bytes, progress);
}

}  // namespace quarvel::gcode
