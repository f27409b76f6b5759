// The settings an object library keeps beside its part folders: a small
// text file "library.cfg" in its root, lines of a keyword and a value in the
// manner of mw.cfg (keywords in any letter case). Today it names the
// library's unit:
//   MetresPerUnit 5.000000
// A library without the file counts one unit as one metre.
#pragma once

#include <string>

namespace formats {

constexpr const char* kLibrarySettingsFile = "library.cfg";

struct LibrarySettings {
    double metresPerUnit = 1.0;
};

// Reads objectDir/library.cfg. True with the defaults when there is no such
// file; false, with `problem` saying what is wrong ("library.cfg:
// MetresPerUnit ...: not a size above 0"), when the file cannot be read or
// holds a unit that is no finite number above 0.
bool ReadLibrarySettings(const std::string& objectDir, LibrarySettings& settings, std::string& problem);

// Writes objectDir/library.cfg (CR LF lines, the number with six decimals).
bool WriteLibrarySettings(const std::string& objectDir, const LibrarySettings& settings);

}  // namespace formats
