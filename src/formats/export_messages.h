// The texts every mesh export shows: the box of a file that could not be
// written and the "Saved" after a complete one.
#pragma once

namespace formats {

constexpr const char* kExportFailedText = "Coudln't open file for saving!";
constexpr const char* kExportFailedCaption = "Error!";
constexpr const char* kSavedText = "Saved";

}  // namespace formats
