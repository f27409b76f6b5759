// How a mesh export names the surfaces, places the figure in the file it
// writes, and what it tidied on the way. The unit and the tidying are the
// modern formats' (glTF binary, OBJ, STL); the .3ds and DXF files keep the
// figure's own units and axes.
#pragma once

#include <cstdint>

namespace model {
struct Pose;
}

namespace formats {

// What the modern exports left out of a figure's mesh; added to, never reset.
struct ExportCleanup {
    std::uint64_t droppedTriangles = 0;  // triangles with two corners on one point
    std::uint64_t mergedPoints = 0;      // points of a part that lay exactly on another of it
};

struct ExportSettings {
    // The size of one object unit in metres (the library's unit, or --scale).
    double metresPerUnit = 1.0;
    // Where the counts of what was tidied go; null: not counted.
    ExportCleanup* cleanup = nullptr;
    // Every surface a part's file named is written as "<part type>_<name>",
    // so that equal names on different parts become different materials.
    bool typeNames = false;
    // The pose a rigged export sets its joints to; null for the rest pose.
    // The other exports ignore it: they are handed the posed figure.
    const model::Pose* pose = nullptr;
};

}  // namespace formats
