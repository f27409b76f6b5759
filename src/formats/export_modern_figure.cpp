#include "formats/export_modern_figure.h"

#include <cmath>
#include <string_view>
#include <unordered_map>

#include "formats/atomic_file.h"
#include "formats/export_report.h"

namespace formats {

bool ModernFigure::Prepare(model::Creature& creature, ui::MessageSink& messages) {
    materials.clear();
    if (!PrepareFigure(merged, creature, messages)) return false;
    merged.OrderMaterials();
    merged.ListVertices();
    merged.ComputeNormals();

    // Names are matched byte for byte, as the .3ds groups match them.
    std::unordered_map<std::string_view, std::uint32_t> byName;
    std::vector<std::uint32_t> materialOfSurface(merged.surfaces.size());
    for (std::uint32_t s : merged.materialOrder) {
        const model::SurfaceRecord* record = merged.surfaces[s].record;
        const auto [at, added] = byName.try_emplace(record->name, static_cast<std::uint32_t>(materials.size()));
        if (added) materials.push_back({record, {}});
        materialOfSurface[s] = at->second;
    }
    std::vector<std::size_t> faceCounts(materials.size(), 0);
    for (const MergedFace& face : merged.faces) ++faceCounts[materialOfSurface[face.surface]];
    for (std::size_t m = 0; m < materials.size(); ++m) materials[m].faces.reserve(faceCounts[m]);
    for (std::uint32_t f = 0; f < merged.faces.size(); ++f) {
        materials[materialOfSurface[merged.faces[f].surface]].faces.push_back(f);
    }
    return true;
}

std::string FileStem(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    // A leading dot belongs to the name (".figure" is a name, not an extension).
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

float ColourComponent(float component) {
    if (!(component > 0.0f)) return 0.0f;
    return component < 1.0f ? component : 1.0f;
}

}  // namespace formats
