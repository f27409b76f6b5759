// Reading a project file's text the way the format's own reader always has:
// whitespace-skipping number scans that leave a value alone when they do not
// match, and rest-of-line scans for the type name and the path. Only the
// line ends differ: CR LF and LF are both taken, and no CR stays in a value.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "formats/project_file.h"

namespace formats {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }

    void SkipSpace() {
        while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    }

    // "%s": whitespace, then the word up to the next whitespace.
    bool ReadWord(std::string& word) {
        SkipSpace();
        if (AtEnd()) return false;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !IsSpace(text_[pos_])) ++pos_;
        word.assign(text_.substr(start, pos_ - start));
        return true;
    }

    // "%d": whitespace, an optional sign and at least one digit. False, with
    // only the whitespace consumed and the value untouched, when no integer
    // stands there. A value past the 32-bit range is held at its end.
    bool ReadInt(std::int32_t& value) {
        SkipSpace();
        std::size_t p = pos_;
        bool negative = false;
        if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) negative = text_[p++] == '-';
        const std::size_t digits = p;
        std::int64_t magnitude = 0;
        constexpr std::int64_t kHeld = std::int64_t{1} << 32;  // past either end of the range
        for (; p < text_.size() && text_[p] >= '0' && text_[p] <= '9'; ++p) {
            if (magnitude < kHeld) magnitude = magnitude * 10 + (text_[p] - '0');
        }
        if (p == digits) return false;
        const std::int64_t v = negative ? -magnitude : magnitude;
        constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
        constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
        value = static_cast<std::int32_t>(v < lo ? lo : (v > hi ? hi : v));
        pos_ = p;
        return true;
    }

    // "%f": whitespace, then the longest number. False as ReadInt. A number
    // that is no finite float (inf, nan, beyond the float range) is taken
    // from the text but reads as 0, so a file cannot put one into the
    // geometry.
    bool ReadFloat(float& value) {
        SkipSpace();
        std::size_t p = pos_;
        if (p < text_.size() && text_[p] == '+') {
            ++p;
            if (p < text_.size() && text_[p] == '-') return false;  // "+-" is no number
        }
        const char* first = text_.data() + p;
        float v = 0;
        auto [end, ec] = std::from_chars(first, text_.data() + text_.size(), v);
        if (end == first) return false;
        value = (ec == std::errc() && std::isfinite(v)) ? v : 0.0f;
        pos_ = static_cast<std::size_t>(end - text_.data());
        return true;
    }

    // The rest of the line without its line end (LF, or CR LF), then past
    // the line end. Always moves on unless the text has ended.
    void ReadLine(std::string& line) {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
        std::size_t end = pos_;
        if (end > start && text_[end - 1] == '\r') --end;
        line.assign(text_.substr(start, end - start));
        if (pos_ < text_.size()) ++pos_;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// The 25 numbers of a record's last line, in the order they are written.
// Like one scan of the whole line, reading stops at the first number that
// does not match; the ones after it keep their values.
void ReadNumbers(Scanner& in, ProjectRecord& r) {
    for (auto& mode : r.sliderPositions) {
        for (std::int32_t& v : mode) {
            if (!in.ReadInt(v)) return;
        }
    }
    for (float& v : r.sliderSteps) {
        if (!in.ReadFloat(v)) return;
    }
    for (auto& mode : r.deformFactors) {
        for (float& v : mode) {
            if (!in.ReadFloat(v)) return;
        }
    }
    for (std::int32_t& v : r.lockModes) {
        if (!in.ReadInt(v)) return;
    }
    if (!in.ReadInt(r.spareMode)) return;
    in.SkipSpace();
}

}  // namespace

ProjectFile ParseProject(std::string_view text) {
    ProjectFile project;
    Scanner in(text);
    in.ReadWord(project.header);  // any word is taken
    in.SkipSpace();
    std::int32_t count = 0;
    in.ReadInt(count);
    in.SkipSpace();
    project.count = count;

    // One record's numbers stand in for the next one's where that one fails
    // to supply them; the names are cleared for every record.
    ProjectRecord current;
    // Every record read takes at least one character (or meets the end), so
    // a count far beyond the text stops with the text.
    for (std::int64_t i = 0; i < project.count && !in.AtEnd(); ++i) {
        current.typeName.clear();
        current.relativePath.clear();
        in.ReadInt(current.typeId);
        in.SkipSpace();
        in.ReadInt(current.panelIndex);
        in.SkipSpace();
        in.ReadLine(current.typeName);
        in.ReadLine(current.relativePath);
        ReadNumbers(in, current);
        project.records.push_back(current);
    }
    return project;
}

}  // namespace formats
