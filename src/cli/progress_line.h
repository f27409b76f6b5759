// The progress of a long batch run on a terminal: one line on standard
// error with the count, the rate and the time left, redrawn in place with
// "\r". Nothing is drawn in a run's first second, nor when disabled.
#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace cli {

// "340/1000 figures, 85.2/s, 8 s left"; the time left is left out until
// there is a rate to go by.
std::string FormatProgress(std::uint64_t done, std::uint64_t total, double seconds);

class ProgressLine {
public:
    ProgressLine(std::ostream& out, std::uint64_t total, bool enabled);
    // Redraws the line, at most a few times a second.
    void Update(std::uint64_t done);
    // Takes the line away, before other lines are written and at the end.
    void Clear();
    double Seconds() const;

private:
    using Clock = std::chrono::steady_clock;
    std::ostream& out_;
    std::uint64_t total_;
    bool enabled_;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDrawn_{};
    std::size_t shownWidth_ = 0;  // characters of the line on screen; 0 when none
};

}  // namespace cli
