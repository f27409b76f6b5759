// The bundled sample object library: every variant of every part, and
// writing them all as object files, one sub-folder per part name.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "mesh.h"

namespace library {

// Scale from the building frame (0.36 tall) to the written files (about
// 0.342 tall, so perspective leaves the toes inside the start-up view).
constexpr double kWrittenScale = 0.95;

struct LibraryEntry {
    std::string part;       // one of the 22 part names, the sub-folder
    std::string file;       // file name, e.g. "Round head.mwo"
    std::function<Mesh()> build;
};

// In a fixed order: parts in the selection panel's order, variants as listed.
std::vector<LibraryEntry> SampleCatalogue();

// Writes the library into `folder` (created if missing). False, with a
// reason, when a file cannot be written.
bool WriteSampleLibrary(const std::string& folder, std::string* error);

}  // namespace library
