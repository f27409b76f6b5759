// The bundled sample object library: every variant of every part, and
// writing them all as object files, one sub-folder per part name.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "mesh.h"

namespace library {

// From the building frame (0.36 tall, soles at y = -0.18) to the written
// files: scaled to 0.32 tall and raised, so that every figure, the toes
// nearer the camera included, stands in the start-up view with about 4 % of
// the view's height to spare above and below.
constexpr double kWrittenScale = 0.89;
constexpr double kWrittenRaise = 0.011;
// Metres per unit in library.cfg: 1.75 m over the median height (0.3241) of the random figures of seeds 0-199.
constexpr double kMetresPerUnit = 5.400;

struct LibraryEntry {
    std::string part;       // one of the 22 part names, the sub-folder
    std::string file;       // file name, e.g. "Round head.mwo"
    std::function<Mesh()> build;
};

// In a fixed order: parts in the selection panel's order, variants as listed.
std::vector<LibraryEntry> SampleCatalogue();

// Writes the library into `folder` (created if missing), with its unit in
// library.cfg. False, with a reason, when a file cannot be written.
bool WriteSampleLibrary(const std::string& folder, std::string* error);

}  // namespace library
