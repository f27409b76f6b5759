// Export renaming: while an export runs, every surface may carry its part's
// type in front of its name, so that equal names on different parts become
// different materials. The own names are kept and put back afterwards.
#include <algorithm>

#include "model/creature.h"

namespace model {

namespace {

// Where the surfaces this object named in its file end; the spare records
// beyond them are never renamed.
std::size_t NamedSurfaceCount(const MeshObject& object) {
    return std::min(static_cast<std::size_t>(std::max(object.surfaceCount, 0)), object.surfaces.size());
}

}  // namespace

void MeshObject::PrefixSurfaceNames() {
    // "%s" stops at a zero byte.
    const std::string type = objectType.substr(0, objectType.find('\0'));
    for (std::size_t s = 0; s < NamedSurfaceCount(*this); ++s) {
        SurfaceRecord& surface = surfaces[s];
        // Already renamed: renaming again would lose the own name.
        if (surface.hasSavedName) continue;
        surface.savedName = surface.name;
        surface.hasSavedName = true;
        std::string prefixed = type + "_" + surface.name;
        if (prefixed.size() > kMaxSurfaceNameBytes) prefixed.resize(kMaxSurfaceNameBytes);
        surface.name = std::move(prefixed);
    }
}

void MeshObject::RestoreSurfaceNames() {
    for (std::size_t s = 0; s < NamedSurfaceCount(*this); ++s) {
        SurfaceRecord& surface = surfaces[s];
        if (!surface.hasSavedName) continue;
        surface.name = std::move(surface.savedName);
        surface.savedName.clear();
        surface.hasSavedName = false;
    }
}

void Creature::PrefixAllSurfaceNames() {
    for (MeshObject& part : parts) part.PrefixSurfaceNames();
}

void Creature::RestoreAllSurfaceNames() {
    for (MeshObject& part : parts) part.RestoreSurfaceNames();
}

}  // namespace model
