// The stress figure: a grid of 128 × 128 points (16 129 quads) for every
// part, side by side, without seams.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/creature.h"
#include "model/part_types.h"

namespace bench {

inline void BuildStressFigure(model::Creature& figure) {
    constexpr int kSide = 128;
    for (int panel = 0; panel < model::kPartTypeCount; ++panel) {
        auto part = std::make_unique<model::MeshObject>();
        part->objectName = "stress";
        for (int r = 0; r < kSide; ++r) {
            for (int c = 0; c < kSide; ++c) {
                const float x = 0.1f * static_cast<float>(panel) + 0.0005f * static_cast<float>(c);
                part->points.insert(part->points.end(), {x, 0.0005f * static_cast<float>(r), 0.0f});
                part->normals.insert(part->normals.end(), {0.0f, 0.0f, 1.0f});
            }
        }
        part->restPoints = part->points;
        part->pointCount = kSide * kSide;
        std::vector<model::Polygon>& quads = part->polygons.Edit();
        for (int r = 0; r + 1 < kSide; ++r) {
            for (int c = 0; c + 1 < kSide; ++c) {
                const auto at = [&](int rr, int cc) { return static_cast<std::uint16_t>(rr * kSide + cc); };
                quads.push_back({at(r, c), at(r, c + 1), at(r + 1, c + 1), at(r + 1, c), 0});
            }
        }
        part->polygonCount = static_cast<std::int32_t>(quads.size());
        part->surfaces.resize(1 + model::kSpareSurfaces);
        part->surfaceCount = 1;
        figure.SetPart(std::string(model::panelOrder[static_cast<std::size_t>(panel)]), std::move(part), panel);
    }
}

}  // namespace bench
