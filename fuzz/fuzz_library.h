// The small object library the project reader's fuzz target loads from, and
// that its seed projects are written against: one quad per file, its seven
// seams naming the same points, so that the parts connect in any order;
// one hand's seams are a point longer, so that connecting it fails.
#pragma once

#include <filesystem>
#include <string>

#include "formats/object_writer.h"

namespace fuzzlib {

struct LibraryFile {
    const char* type;
    const char* file;
    float size;
    bool longSeams;
};

inline constexpr LibraryFile kLibraryFiles[] = {
    {"Head", "head.mwo", 1.0f, false},          {"Neck", "neck.mwo", 0.5f, false},
    {"Upper body", "body.mwo", 2.0f, false},    {"Left arm", "arm1.mwo", 1.5f, false},
    {"Left arm", "arm2.mwo", 1.25f, false},     {"Left forearm", "fore.mwo", 1.0f, false},
    {"Left hand", "hand.mwo", 0.5f, false},     {"Left hand", "odd.mwo", 0.5f, true},
    {"Nose", "nose.mwo", 0.25f, false},         {"Mouth", "mouth.mwo", 0.25f, false},
};

inline formats::ObjectFileData Quad(float size, bool longSeams) {
    formats::ObjectFileData d;
    d.points = {0, 0, 0, size, 0, 0, size, size, 0, 0, size, 0};
    d.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
    d.polygons = {model::Polygon{0, 1, 2, 3, 0}};
    d.surfaces = {formats::ObjectSurface{"Skin", true, {200, 150, 120}}};
    for (int k = 0; k < 7; ++k) {
        d.boundaryLists[static_cast<std::size_t>(k)] = longSeams ? std::vector<std::uint16_t>{0, 1, 2}
                                                                 : std::vector<std::uint16_t>{0, 1};
    }
    return d;
}

inline bool WriteLibrary(const std::filesystem::path& root) {
    for (const LibraryFile& f : kLibraryFiles) {
        std::error_code ec;
        std::filesystem::create_directories(root / f.type, ec);
        if (!formats::WriteObjectFile((root / f.type / f.file).string(), Quad(f.size, f.longSeams))) return false;
    }
    return true;
}

}  // namespace fuzzlib
