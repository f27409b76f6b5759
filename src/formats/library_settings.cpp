#include "formats/library_settings.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "formats/atomic_file.h"
#include "formats/c_number.h"
#include "formats/regular_file.h"
#include "formats/text_scanner.h"
#include "text/list_order.h"

namespace formats {

namespace {

std::string SettingsPath(const std::string& objectDir) {
    return objectDir.empty() ? std::string(kLibrarySettingsFile) : objectDir + "/" + kLibrarySettingsFile;
}

}  // namespace

bool ReadLibrarySettings(const std::string& objectDir, LibrarySettings& settings, std::string& problem) {
    settings = LibrarySettings();
    const std::string path = SettingsPath(objectDir);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return true;
    std::string why;
    std::uint64_t size = 0;
    if (!CheckRegularFile(path, why, &size)) {
        problem = std::string(kLibrarySettingsFile) + ": " + why;
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    std::string contents(static_cast<std::size_t>(std::min<std::uint64_t>(size, 1 << 16)), '\0');
    if (!file.read(contents.data(), static_cast<std::streamsize>(contents.size()))) {
        problem = std::string(kLibrarySettingsFile) + ": cannot be read";
        return false;
    }
    TextScanner scanner(contents);
    std::string line;
    while (!scanner.AtEnd()) {
        scanner.ReadLine(line);
        TextScanner words(line);
        std::string keyword;
        if (!words.ReadWord(keyword)) continue;
        if (text::CompareIgnoringCase(keyword, "MetresPerUnit") != 0) continue;  // later settings
        std::string value;
        words.ReadWord(value);
        std::string rest;
        words.ReadWord(rest);
        float unit = 0;
        TextScanner number(value);
        bool inRange = false;
        const bool read = number.ReadFloat(unit, &inRange);
        number.SkipSpace();
        if (!read || !inRange || !number.AtEnd() || !rest.empty() || !std::isfinite(unit) || !(unit > 0)) {
            problem = std::string(kLibrarySettingsFile) + ": MetresPerUnit " + value + ": not a size above 0";
            return false;
        }
        settings.metresPerUnit = unit;
    }
    return true;
}

bool WriteLibrarySettings(const std::string& objectDir, const LibrarySettings& settings) {
    AtomicFile file(SettingsPath(objectDir));
    if (!file.Open()) return false;
    file.Write("MetresPerUnit " + FormatFixed(settings.metresPerUnit) + "\r\n");
    return file.Commit();
}

}  // namespace formats
