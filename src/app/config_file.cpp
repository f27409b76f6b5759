#include "app/config_file.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>

namespace app {

std::uint32_t KeywordHash(std::string_view word) {
    std::uint32_t sum = 0;
    std::uint32_t i = 1;
    for (char ch : word) {
        auto c = static_cast<std::int8_t>(ch);
        // Lower-case letters (and the four characters above them) fold down by
        // 32 within 8 bits; bytes 128 … 255 are negative and stay as they are.
        if (c > 96) c = static_cast<std::int8_t>(c - 32);
        sum += static_cast<std::uint32_t>(static_cast<std::int32_t>(c) - 33) * i * i * i;
        ++i;
    }
    return sum;
}

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

// A cursor over the text that reads the way the scanning functions of the C
// library do: whitespace-delimited words, numbers, the rest of a line.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    bool ReadWord(std::string& word) {
        SkipSpace();
        if (pos_ >= text_.size()) return false;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !IsSpace(text_[pos_])) ++pos_;
        word.assign(text_.substr(start, pos_ - start));
        return true;
    }

    // "%f": skips whitespace, then the longest number; false (nothing
    // consumed but the whitespace) when none stands there.
    bool ReadFloat(float& value) {
        SkipSpace();
        std::size_t p = pos_;
        if (p < text_.size() && text_[p] == '+') ++p;
        const char* first = text_.data() + p;
        const char* last = text_.data() + text_.size();
        if (p < text_.size() && text_[p] == '-' && p != pos_) return false;  // "+-"
        float v = 0;
        auto [end, ec] = std::from_chars(first, last, v);
        if (end == first) return false;
        if (ec == std::errc::result_out_of_range) {
            v = OutOfRangeValue(std::string_view(first, static_cast<std::size_t>(end - first)));
        }
        value = v;
        pos_ = static_cast<std::size_t>(end - text_.data());
        return true;
    }

    // Reads up to four numbers separated by whitespace, as "%f %f %f %f\n"
    // does; stops at the first that does not match.
    void ReadFloats(float (&values)[4]) {
        for (float& v : values) {
            if (!ReadFloat(v)) return;
        }
        SkipSpace();
    }

    // Skips exactly one character, then takes the rest of the line (without
    // its line end). An empty rest leaves the value empty.
    void ReadRestOfLine(std::string& value) {
        value.clear();
        if (pos_ >= text_.size()) return;
        ++pos_;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
        value.assign(text_.substr(start, pos_ - start));
    }

private:
    void SkipSpace() {
        while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

// The file is read as a text file: a CR LF pair is one line end.
std::string NormaliseLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out.push_back(text[i]);
    }
    return out;
}

void AppendFixed(std::string& out, float value) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                   std::chars_format::fixed, 6);
    if (ec != std::errc()) {
        out += "0.000000";
        return;
    }
    out.append(buffer, end);
}

void AppendColourLine(std::string& out, const char* keyword, const float (&colour)[4]) {
    out += keyword;
    for (float c : colour) {
        out += ' ';
        AppendFixed(out, c);
    }
    out += "\r\n";
}

}  // namespace

void ParseConfig(std::string_view rawText, ConfigValues& values) {
    const std::string text = NormaliseLineEnds(rawText);
    Scanner scanner(text);
    std::string word;
    while (scanner.ReadWord(word)) {
        switch (KeywordHash(word)) {
            case kHashBgColor:
                scanner.ReadFloats(values.backgroundColor);
                break;
            case kHashWireColor:
                scanner.ReadFloats(values.wireColor);
                break;
            case kHashProjectDir:
                scanner.ReadRestOfLine(values.projectDir);
                break;
            case kHashObjectDir:
                scanner.ReadRestOfLine(values.objectDir);
                break;
            case kHashConvertObjectDir:
                scanner.ReadRestOfLine(values.convertObjectDir);
                break;
            case kHashConvertObjectName:
                scanner.ReadRestOfLine(values.convertObjectName);
                break;
            default:
                break;  // unknown words, and the values after them, are passed over
        }
    }
}

std::string FormatConfig(const ConfigValues& values) {
    std::string out;
    out += "ConvertObjectDir " + values.convertObjectDir + "\r\n";
    out += "ConvertObjectName " + values.convertObjectName + "\r\n";
    out += "ObjectDir " + values.objectDir + "\r\n";
    out += "ProjectDir " + values.projectDir + "\r\n";
    AppendColourLine(out, "BgColor", values.backgroundColor);
    AppendColourLine(out, "WireColor", values.wireColor);
    return out;
}

bool ReadConfigFile(const std::string& path, ConfigValues& values) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ParseConfig(text, values);
    return true;
}

bool WriteConfigFile(const std::string& path, const ConfigValues& values) {
    const std::string text = FormatConfig(values);
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        if (!out) {
            out.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace app
