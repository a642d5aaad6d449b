#include "machine/program_frame.h"

#include <cstring>

#include "machine/run_time_estimate.h"
#include "text/text_format.h"

namespace quarvel::machine {

namespace {

void addLine(std::string& text, std::string_view line) {
    text.append(line);
    text.append(kCrLf);
}

std::string unitsWord(const MachineJob& job) {
    if (!job.profile.writesUnitsWord) return {};
    return job.units == JobUnits::Inch ? "G20" : "G21";
}

// The start block with the units word in place; a blank left by an empty word goes too.
std::string startBlockText(const MachineJob& job) {
    const std::string word = unitsWord(job);
    bool placed = false;
    std::string text;
    for (std::string line : job.profile.startBlock) {
        const std::size_t at = line.find(kUnitsPlaceholder);
        if (at != std::string::npos) {
            placed = true;
            std::size_t count = kUnitsPlaceholder.size();
            if (word.empty() && at + count < line.size() && line[at + count] == ' ') ++count;
            line.replace(at, count, word);
            while (!line.empty() && line.back() == ' ') line.pop_back();
        }
        if (!line.empty()) addLine(text, line);
    }
    if (!placed && !word.empty()) text.insert(0, word + std::string(kCrLf));
    return text;
}

std::string spindleText(const MachineJob& job) {
    const MachineProfile& p = job.profile;
    if (!p.startsSpindle) return {};
    std::string text = "M3 S" + generalText(job.spindleRpm());
    text += kCrLf;
    if (p.dwellSeconds > 0.0) {
        const double value =
            p.dwellUnit == DwellUnit::Milliseconds ? p.dwellSeconds * 1000.0 : p.dwellSeconds;
        addLine(text, "G4 P" + generalText(value));
    }
    return text;
}

bool isCommentLine(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return first != std::string_view::npos && (line[first] == '(' || line[first] == ';');
}

bool isCoordinateLetter(char c) { return c == 'X' || c == 'Y' || c == 'Z' || c == 'I' || c == 'J'; }

bool isNumberChar(char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+'; }

}  // namespace

ProgramFrame FrameFor(const MachineJob& job, std::optional<double> runSeconds) {
    if (KeepsWriterText(job.profile)) return {};
    ProgramFrame frame;
    if (runSeconds && job.profile.writesComments)
        addLine(frame.opening, "( Estimated run time " + DurationText(*runSeconds) + " on " +
                                   job.profile.name + " )");
    frame.opening += startBlockText(job);
    frame.spindleStart = spindleText(job);
    for (const std::string& line : job.profile.endBlock) addLine(frame.closing, line);
    return frame;
}

std::optional<std::string> AdaptLine(std::string_view line, const MachineProfile& profile) {
    const bool comment = isCommentLine(line);
    if (comment && !profile.writesComments) return std::nullopt;
    if (comment || profile.decimals == 4) return std::string(line);
    std::string out;
    out.reserve(line.size());
    std::size_t i = 0;
    while (i < line.size()) {
        out += line[i];
        if (!isCoordinateLetter(line[i++])) continue;
        std::size_t end = i;
        while (end < line.size() && isNumberChar(line[end])) ++end;
        double value = 0.0;
        if (end > i && parseDouble(line.substr(i, end - i), value)) {
            out += fixedText(value, profile.decimals);
            i = end;
        }
    }
    return out;
}

class ProfileOutput::LineFilter final : public std::streambuf {
public:
    LineFilter(std::ostream& target, const MachineProfile& profile)
        : target_(target), profile_(profile) {}

    void finish() {
        if (!line_.empty()) writeLine(false);
    }

protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        for (std::streamsize k = 0; k < count; ++k) put(text[k]);
        return count;
    }
    int_type overflow(int_type ch) override {
        if (!traits_type::eq_int_type(ch, traits_type::eof())) put(traits_type::to_char_type(ch));
        return traits_type::not_eof(ch);
    }

private:
    void put(char c) {
        if (c != '\n') {
            line_ += c;
            return;
        }
        if (!line_.empty() && line_.back() == '\r') line_.pop_back();
        writeLine(true);
    }
    void writeLine(bool ended) {
        if (const auto adapted = AdaptLine(line_, profile_)) {
            target_.write(adapted->data(), static_cast<std::streamsize>(adapted->size()));
            if (ended)
                target_.write(profile_.lineEnding.data(),
                              static_cast<std::streamsize>(profile_.lineEnding.size()));
        }
        line_.clear();
    }

    std::ostream& target_;
    const MachineProfile& profile_;
    std::string line_;
};

ProfileOutput::ProfileOutput(std::ostream& target, const MachineProfile& profile)
    : target_(target) {
    if (KeepsWriterText(profile)) return;
    filter_ = std::make_unique<LineFilter>(target, profile);
    stream_ = std::make_unique<std::ostream>(filter_.get());
}

ProfileOutput::~ProfileOutput() = default;

void ProfileOutput::finish() {
    if (filter_) filter_->finish();
}

}  // namespace quarvel::machine
