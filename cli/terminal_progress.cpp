#include <csignal>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "cli_run.h"
#include "text/atomic_file.h"

namespace quarvel::cli {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

// The first SIGINT, SIGTERM or SIGHUP asks the job to stop cleanly. A second one means the
// user (or the system) really wants out: the hidden temporary files are removed and the
// signal's own default action ends the program.
void onInterrupt(int signal) {
    if (gInterrupted == 0) {
        gInterrupted = 1;
        return;
    }
    AtomicFile::removeTemporariesForSignal();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

void installInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool interruptRequested() { return gInterrupted != 0; }

TerminalProgress::TerminalProgress(std::string label) : label_(std::move(label)) {}

TerminalProgress::~TerminalProgress() { finish(); }

void TerminalProgress::setPosition(int percent) {
    if (percent == shown_ || !::isatty(STDERR_FILENO)) return;
    shown_ = percent;
    constexpr int kWidth = 30;
    const int filled = percent * kWidth / 100;
    std::string bar = "\r" + label_ + (label_.empty() ? "" : " ") + "[";
    bar.append(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kWidth - filled), ' ');
    bar += "] " + std::to_string(percent) + "%";
    std::fputs(bar.c_str(), stderr);
    std::fflush(stderr);
    drawn_ = true;
}

bool TerminalProgress::cancelRequested() const { return interruptRequested(); }

void TerminalProgress::finish() {
    if (drawn_) std::fputs("\n", stderr);
    drawn_ = false;
    shown_ = -1;
}

}  // namespace quarvel::cli
