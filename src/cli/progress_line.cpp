#include "cli/progress_line.h"

#include <cmath>
#include <cstdio>
#include <ostream>

namespace cli {
namespace {

std::string FormatDuration(double seconds) {
    const auto whole = static_cast<long long>(std::llround(seconds));
    char text[48];
    if (whole < 60) {
        std::snprintf(text, sizeof text, "%lld s", whole);
    } else if (whole < 3600) {
        std::snprintf(text, sizeof text, "%lld min %02lld s", whole / 60, whole % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld h %02lld min", whole / 3600, whole / 60 % 60);
    }
    return text;
}

}  // namespace

std::string FormatProgress(std::uint64_t done, std::uint64_t total, double seconds) {
    std::string line = std::to_string(done) + "/" + std::to_string(total) + " figures";
    if (done == 0 || seconds <= 0) return line;
    const double rate = static_cast<double>(done) / seconds;
    char text[64];
    std::snprintf(text, sizeof text, ", %.1f/s, ", rate);
    return line + text + FormatDuration(static_cast<double>(total - done) / rate) + " left";
}

ProgressLine::ProgressLine(std::ostream& out, std::uint64_t total, bool enabled)
    : out_(out), total_(total), enabled_(enabled) {}

double ProgressLine::Seconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

void ProgressLine::Update(std::uint64_t done) {
    if (!enabled_) return;
    const Clock::time_point now = Clock::now();
    if (now - start_ < std::chrono::seconds(1) || now - lastDrawn_ < std::chrono::milliseconds(250)) return;
    lastDrawn_ = now;
    std::string line = FormatProgress(done, total_, Seconds());
    // Spaces cover what a longer line before left standing.
    const std::size_t width = line.size();
    if (width < shownWidth_) line.append(shownWidth_ - width, ' ');
    out_ << '\r' << line << std::flush;
    shownWidth_ = width;
}

void ProgressLine::Clear() {
    if (shownWidth_ == 0) return;
    out_ << '\r' << std::string(shownWidth_, ' ') << '\r' << std::flush;
    shownWidth_ = 0;
}

}  // namespace cli
