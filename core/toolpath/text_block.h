#pragma once
// Text for a large output file, built in a block of bounded size that is handed to the
// stream whenever it fills, so that writing a big file never holds all of its text.
// Each full block is also the moment to let the user stop the writing.
#include <algorithm>
#include <ostream>
#include <string>
#include <string_view>

#include "progress/progress.h"
#include "text/text_format.h"
#include "text/fixed_text.h"

namespace quarvel::toolpath {

class TextBlock {
public:
    explicit TextBlock(std::ostream& out, Progress& progress = NoProgress())
        : out_(out), progress_(progress) {
        text_.reserve(kBlockSize + kSlack);
    }
    TextBlock(const TextBlock&) = delete;
    TextBlock& operator=(const TextBlock&) = delete;

    void append(std::string_view s) { text_.append(s); }
    void line(std::string_view s) {
        text_.append(s);
        text_.append(kCrLf);
    }
    // One line "<first><x %.4f><middle><y %.4f>" CR LF, then `after` as it stands, put
    // together in one piece.
    void pointLine(std::string_view first, double x, std::string_view middle, double y,
                   std::string_view after = {}) {
        char line[2 * kFixed4Room + 128];
        if (first.size() + middle.size() + after.size() > 124) {  // longer than we write
            text_.append(first);
            appendFixed4(text_, x);
            text_.append(middle);
            appendFixed4(text_, y);
            text_.append(kCrLf);
            text_.append(after);
            return;
        }
        char* p = line;
        p = std::copy(first.begin(), first.end(), p);
        p = putFixed4(p, x);
        p = std::copy(middle.begin(), middle.end(), p);
        p = putFixed4(p, y);
        *p++ = '\r';
        *p++ = '\n';
        p = std::copy(after.begin(), after.end(), p);
        text_.append(line, p);
    }
    // Call after each record: hands a full block to the stream, pumps events and tests
    // the stop flag. False once the user asked to stop.
    [[nodiscard]] bool maybeFlush() {
        if (text_.size() >= kBlockSize) {
            flush();
            if (!progress_.pumpAndCheck()) stopped_ = true;
        }
        return !stopped_;
    }
    bool stopped() const { return stopped_; }
    void flush() {
        out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
        text_.clear();
    }

private:
    static constexpr std::size_t kBlockSize = std::size_t{1} << 20;
    static constexpr std::size_t kSlack = 4096;
    std::ostream& out_;
    Progress& progress_;
    std::string text_;
    bool stopped_ = false;
};

}  // namespace quarvel::toolpath
