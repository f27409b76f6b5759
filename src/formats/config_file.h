// mw.cfg: the preferences kept between runs (object and project
// directories, background and wireframe colours, mirrored editing, the main
// window's size, two conversion values that are only carried along). Keywords are recognised by a numeric hash, so
// they match in any letter case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace formats {

constexpr const char* kConfigFileName = "mw.cfg";

constexpr std::uint32_t kHashConvertObjectDir = 776654;
constexpr std::uint32_t kHashConvertObjectName = 933482;
constexpr std::uint32_t kHashObjectDir = 87193;
constexpr std::uint32_t kHashProjectDir = 129722;
constexpr std::uint32_t kHashBgColor = 36317;
constexpr std::uint32_t kHashWireColor = 92209;
constexpr std::uint32_t kHashMirrorEdit = 131585;
constexpr std::uint32_t kHashWindowSize = 136426;

// The main window's client size at its smallest (its template's size), and
// a bound no screen reaches, so that a damaged file cannot ask for more.
constexpr int kWindowWidth = 888;
constexpr int kWindowHeight = 666;
constexpr int kWindowSizeLimit = 16384;

std::uint32_t KeywordHash(std::string_view word);

struct ConfigValues {
    std::string convertObjectDir;
    std::string convertObjectName = "NewObject";
    std::string objectDir;
    std::string projectDir;
    float backgroundColor[4] = {0, 0, 0, 0};
    float wireColor[4] = {0.8f, 0.8f, 0.8f, 0};
    // Left and right parts edited together; off in files older than it.
    bool mirrorEdit = false;
    // The main window's client size in pixels, within kWindowWidth ×
    // kWindowHeight … kWindowSizeLimit on each side.
    int windowWidth = kWindowWidth;
    int windowHeight = kWindowHeight;
};

// Reads the settings of a configuration file's text into `values`, which
// hold the defaults (or earlier values) for whatever the text lacks.
// CR LF and LF line ends read alike.
void ParseConfig(std::string_view text, ConfigValues& values);

// The file's text: eight lines ending in CR LF, numbers in the C locale.
std::string FormatConfig(const ConfigValues& values);

// Reads the file; false (values untouched) when it cannot be opened.
bool ReadConfigFile(const std::string& path, ConfigValues& values);

// Writes through the atomic writer (a temporary file beside the target,
// synced and renamed over it), so that a failure never leaves a truncated
// file behind; false when it failed.
bool WriteConfigFile(const std::string& path, const ConfigValues& values);

}  // namespace formats
