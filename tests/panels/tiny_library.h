// A small object library written by the tests: every part folder gets the
// files asked for, each one quad whose seven boundary lists all name the
// same two points, so any combination of parts connects without a message.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "formats/object_writer.h"
#include "model/part_types.h"

namespace testlib {

inline formats::ObjectFileData TinyPart(float size) {
    formats::ObjectFileData d;
    d.points = {0, 0, 0, size, 0, 0, size, size, 0, 0, size, 0};
    d.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
    d.polygons = {model::Polygon{0, 1, 2, 3, 0}};
    d.surfaces = {formats::ObjectSurface{"Skin", true, {200, 150, 120}}};
    for (int k = 0; k < 7; ++k) d.boundaryLists[k] = {0, 1};
    return d;
}

// files: part name → file names; parts not named get `defaultFiles`.
inline void MakeTinyLibrary(const std::filesystem::path& root,
                            const std::map<std::string, std::vector<std::string>>& files,
                            const std::vector<std::string>& defaultFiles) {
    for (auto name : model::panelOrder) {
        const std::string part(name);
        auto it = files.find(part);
        const auto& names = it != files.end() ? it->second : defaultFiles;
        if (names.empty()) continue;
        std::filesystem::create_directories(root / part);
        float size = 0.01f;
        for (const auto& file : names) {
            formats::WriteObjectFile((root / part / file).string(), TinyPart(size));
            size += 0.01f;
        }
    }
}

}  // namespace testlib
