// The sample figure the benchmarks draw and deform: the first object file
// (by name) of every part's folder of the sample library, as a user might
// pick them. MW_SAMPLE_LIBRARY in the environment names another library.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/object_reader.h"
#include "model/creature.h"
#include "model/part_types.h"

namespace bench {

inline std::string SampleLibraryDir() {
    if (const char* dir = std::getenv("MW_SAMPLE_LIBRARY")) return dir;
    return MW_SAMPLE_LIBRARY_DIR;
}

// False when the library is missing or gave no part.
inline bool BuildSampleFigure(model::Creature& creature) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path library(SampleLibraryDir());
    if (!fs::is_directory(library, error)) return false;
    for (int panel = 0; panel < model::kPartTypeCount; ++panel) {
        const std::string name(model::panelOrder[static_cast<std::size_t>(panel)]);
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(library / name, error)) {
            std::string extension = entry.path().extension().string();
            std::transform(extension.begin(), extension.end(), extension.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            if (extension == ".mwo") files.push_back(entry.path());
        }
        if (files.empty()) continue;
        std::sort(files.begin(), files.end());
        formats::SetPartFromFile(creature, name, files.front().string(), panel);
    }
    return creature.parts.Count() > 0;
}

}  // namespace bench
