#include "formats/text_scanner.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace formats {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// A number that from_chars finds too large or too small for a float. "%f"
// reads it all the same, as infinity or as zero with the number's sign, so a
// value past the float range is no darker than one just inside it. The
// decimal exponent of the first non-zero digit tells the two apart: out of
// range, it is at least 38 or at most -46.
float OutOfRangeValue(std::string_view number) {
    std::size_t i = 0;
    const bool negative = i < number.size() && number[i] == '-';
    if (negative) ++i;
    long long leading = -1;  // exponent of the first non-zero digit, before the e part
    long long integerDigits = 0;
    bool found = false;
    for (; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i) {
        if (found) {
            ++integerDigits;
        } else if (number[i] != '0') {
            found = true;
        }
    }
    if (found) {
        leading = integerDigits;
    } else if (i < number.size() && number[i] == '.') {
        for (++i; i < number.size() && number[i] == '0'; ++i) --leading;
    }
    while (i < number.size() && number[i] != 'e' && number[i] != 'E') ++i;
    long long exponent = 0;
    bool negativeExponent = false;
    if (i < number.size()) {
        ++i;
        if (i < number.size() && (number[i] == '-' || number[i] == '+')) {
            negativeExponent = number[i] == '-';
            ++i;
        }
        // Far past any float; saturating keeps the sum from overflowing.
        for (; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i) {
            exponent = std::min(exponent * 10 + (number[i] - '0'), 1000000000LL);
        }
    }
    const bool tooLarge = leading + (negativeExponent ? -exponent : exponent) >= 0;
    const float magnitude = tooLarge ? std::numeric_limits<float>::infinity() : 0.0f;
    return negative ? -magnitude : magnitude;
}

}  // namespace

void TextScanner::SkipSpace() {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
}

bool TextScanner::ReadWord(std::string& word) {
    SkipSpace();
    if (AtEnd()) return false;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !IsSpace(text_[pos_])) ++pos_;
    word.assign(text_.substr(start, pos_ - start));
    return true;
}

bool TextScanner::ReadInt(std::int32_t& value) {
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

bool TextScanner::ReadFloat(float& value, bool* inRange) {
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
    const bool fits = ec != std::errc::result_out_of_range;
    if (!fits) v = OutOfRangeValue(std::string_view(first, static_cast<std::size_t>(end - first)));
    if (inRange != nullptr) *inRange = fits;
    value = v;
    pos_ = static_cast<std::size_t>(end - text_.data());
    return true;
}

void TextScanner::ReadLine(std::string& line) {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
    std::size_t end = pos_;
    if (end > start && text_[end - 1] == '\r') --end;
    line.assign(text_.substr(start, end - start));
    if (pos_ < text_.size()) ++pos_;
}

void TextScanner::ReadRestOfLine(std::string& value) {
    value.clear();
    if (AtEnd()) return;
    ++pos_;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
    value.assign(text_.substr(start, pos_ - start));
}

}  // namespace formats
