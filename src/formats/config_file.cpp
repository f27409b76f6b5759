#include "formats/config_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "formats/atomic_file.h"
#include "formats/c_number.h"
#include "formats/regular_file.h"
#include "formats/text_scanner.h"

namespace formats {

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

// Reads up to four numbers separated by whitespace, as "%f %f %f %f\n"
// does; stops at the first that does not match.
void ReadFloats(formats::TextScanner& scanner, float (&values)[4]) {
    for (float& v : values) {
        if (!scanner.ReadFloat(v)) return;
    }
    scanner.SkipSpace();
}

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

void AppendColourLine(std::string& out, const char* keyword, const float (&colour)[4]) {
    out += keyword;
    for (float c : colour) {
        out += ' ';
        out += formats::FormatFixed(c);
    }
    out += "\r\n";
}

}  // namespace

void ParseConfig(std::string_view rawText, ConfigValues& values) {
    const std::string text = NormaliseLineEnds(rawText);
    formats::TextScanner scanner(text);
    std::string word;
    while (scanner.ReadWord(word)) {
        switch (KeywordHash(word)) {
            case kHashBgColor:
                ReadFloats(scanner, values.backgroundColor);
                break;
            case kHashWireColor:
                ReadFloats(scanner, values.wireColor);
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
            case kHashMirrorEdit: {
                std::int32_t on = 0;
                if (scanner.ReadInt(on)) values.mirrorEdit = on != 0;
                break;
            }
            case kHashWindowSize: {
                // Both numbers or neither; each kept within what a window can be.
                std::int32_t width = 0;
                std::int32_t height = 0;
                if (scanner.ReadInt(width) && scanner.ReadInt(height)) {
                    values.windowWidth = std::clamp<std::int32_t>(width, kWindowWidth, kWindowSizeLimit);
                    values.windowHeight = std::clamp<std::int32_t>(height, kWindowHeight, kWindowSizeLimit);
                }
                break;
            }
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
    out += std::string("MirrorEdit ") + (values.mirrorEdit ? "1" : "0") + "\r\n";
    out += "WindowSize " + std::to_string(values.windowWidth) + " " + std::to_string(values.windowHeight) + "\r\n";
    return out;
}

bool ReadConfigFile(const std::string& path, ConfigValues& values) {
    // A FIFO standing at mw.cfg would hold the start-up forever.
    std::string why;
    if (!formats::CheckRegularFile(path, why)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ParseConfig(text, values);
    return true;
}

bool WriteConfigFile(const std::string& path, const ConfigValues& values) {
    AtomicFile file(path);
    if (!file.Open()) return false;
    file.Write(FormatConfig(values));
    return file.Commit();
}

}  // namespace formats
