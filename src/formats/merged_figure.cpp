#include "formats/merged_figure.h"

#include <algorithm>

#include "model/connection_tables.h"
#include "model/creature.h"

namespace formats {

namespace {

// The record of a polygon whose surface index is past its part's table:
// what a spare record holds, no name and grey.
const model::SurfaceRecord kUnnamedSurface{};

// The part names materials are ordered by, in the panel's order.
constexpr std::array<std::string_view, model::kPartTypeCount> kMaterialPartNames = {
    "Head",      "Left ear",      "Right ear",  "Left eye",    "Right eye",  "Nose",
    "Mouth",     "Neck",          "Upper body", "Left arm",    "Left Forearm", "Left hand",
    "Right arm", "Right Forearm", "Right hand", "Stomach",     "Left thigh", "Left leg",
    "Left foot", "Right thigh",   "Right leg",  "Right foot",
};

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

// The place of a surface name among the part names; one past them for a
// name that is no part name.
std::size_t MaterialRank(std::string_view name) {
    for (std::size_t r = 0; r < kMaterialPartNames.size(); ++r) {
        if (EqualNoCase(name, kMaterialPartNames[r])) return r;
    }
    return kMaterialPartNames.size();
}

std::size_t PartPointCount(const model::MeshObject& part) { return part.points.size() / 3; }

}  // namespace

MergeResult MergedFigure::Prepare(model::Creature& creature) {
    const MergeResult result = Collect(creature);
    if (result == MergeResult::kMerged) MergeSeams();
    return result;
}

MergeResult MergedFigure::Collect(model::Creature& creature) {
    parts.clear();
    points.clear();
    faces.clear();
    surfaces.clear();
    materialOrder.clear();
    vertices.clear();
    vertexNumber.clear();
    damagedPart.clear();
    typeTable.fill(-1);
    if (creature.parts.Count() <= 0) return MergeResult::kEmpty;

    // Bases first, so that they hold even when a later part is refused.
    // The counts are the arrays the part holds: a file without a polygon
    // chunk leaves the header's polygon count standing with no polygons.
    std::size_t pointTotal = 0;
    std::size_t faceTotal = 0;
    model::ListItem* item = creature.parts.first;
    for (std::int32_t i = 0; i < creature.parts.Count() && item != nullptr; ++i, item = item->next) {
        auto* part = static_cast<model::MeshObject*>(item);
        part->exportPointBase = static_cast<std::int32_t>(pointTotal);
        part->exportPolygonBase = static_cast<std::int32_t>(faceTotal);
        part->exportFlags = 0;
        parts.push_back(part);
        pointTotal += PartPointCount(*part);
        faceTotal += part->polygons.size();
        if (part->typeId >= 0 && part->typeId < model::kPartTypeCount) {
            typeTable[static_cast<std::size_t>(part->typeId)] = i;
        }
    }
    // Merged indices are 32-bit: 22 parts of at most 65 536 points each are
    // far from their end.

    points.reserve(3 * pointTotal);
    faces.reserve(faceTotal);
    // Per surface index of the part at hand, its entry in the surface list.
    std::vector<std::uint32_t> surfaceEntry(65536, kNoIndex);
    for (std::uint32_t position = 0; position < parts.size(); ++position) {
        if (!AddPart(*parts[position], position, surfaceEntry)) {
            damagedPart = parts[position]->objectType;
            return MergeResult::kDamaged;
        }
    }
    return MergeResult::kMerged;
}

bool MergedFigure::AddPart(model::MeshObject& part, std::uint32_t position, std::vector<std::uint32_t>& surfaceEntry) {
    // The reader lets no index out of its array; parts made in code are held
    // to the same.
    const std::size_t count = PartPointCount(part);
    for (const auto& list : part.boundaryLists) {
        for (std::uint16_t p : list) {
            if (p >= count) return false;
        }
    }
    for (const model::Polygon& polygon : part.polygons) {
        if (polygon.a >= count || polygon.b >= count || polygon.c >= count || polygon.d >= count) return false;
    }

    points.insert(points.end(), part.points.begin(), part.points.begin() + static_cast<std::ptrdiff_t>(3 * count));

    const auto base = static_cast<std::uint32_t>(part.exportPointBase);
    const std::size_t firstSurface = surfaces.size();
    for (const model::Polygon& polygon : part.polygons) {
        std::uint32_t& entry = surfaceEntry[polygon.surface];
        if (entry == kNoIndex) {
            entry = static_cast<std::uint32_t>(surfaces.size());
            const model::SurfaceRecord* record =
                polygon.surface < part.surfaces.size() ? &part.surfaces[polygon.surface] : &kUnnamedSurface;
            surfaces.push_back({record, position, polygon.surface});
        }
        faces.push_back({{base + polygon.a, base + polygon.b, base + polygon.c, base + polygon.d}, entry, position});
    }
    // Clean for the next part.
    for (std::size_t s = firstSurface; s < surfaces.size(); ++s) surfaceEntry[surfaces[s].surfaceIndex] = kNoIndex;
    return true;
}

void MergedFigure::MergeSeams() {
    // The first point each neighbour point was bent onto.
    std::vector<std::uint32_t> bentOnto(PointCount(), kNoIndex);
    for (model::MeshObject* a : parts) {
        if (a->typeId < 0 || a->typeId >= model::kPartTypeCount) continue;
        const model::ConnectionRow& row = model::ConnectionTable[static_cast<std::size_t>(a->typeId)];
        for (std::int32_t k = 0; k < row.seamCount; ++k) {
            const model::SeamEntry& seam = row.seams[static_cast<std::size_t>(k)];
            const std::int32_t position = typeTable[static_cast<std::size_t>(seam.neighbourType)];
            if (position < 0) continue;
            model::MeshObject* b = parts[static_cast<std::size_t>(position)];
            const int j = seam.neighbourList;
            if (b->IsBoundaryListMarked(j) == 1) continue;
            a->MarkBoundaryList(k);
            b->MarkBoundaryList(j);
            const auto& keepList = a->boundaryLists[static_cast<std::size_t>(k)];
            const auto& dropList = b->boundaryLists[static_cast<std::size_t>(j)];
            // A shorter neighbour list ends the seam there.
            const std::size_t length = std::min(keepList.size(), dropList.size());
            for (std::size_t m = 0; m < length; ++m) {
                const std::uint32_t keep = static_cast<std::uint32_t>(a->exportPointBase) + keepList[m];
                const std::uint32_t drop = static_cast<std::uint32_t>(b->exportPointBase) + dropList[m];
                if (bentOnto[drop] == kNoIndex) bentOnto[drop] = keep;
            }
        }
    }
    // A drop point is one of the neighbour's own, and only the neighbour's
    // own faces hold its own points, so looking up every corner once bends
    // exactly the faces the neighbour's seams name.
    for (MergedFace& face : faces) {
        for (std::uint32_t& corner : face.corners) {
            if (bentOnto[corner] != kNoIndex) corner = bentOnto[corner];
        }
    }
}

void MergedFigure::OrderMaterials() {
    // A stable counting sort by rank: part names in their order, then the rest.
    constexpr std::size_t kRanks = kMaterialPartNames.size() + 1;
    std::vector<std::uint8_t> rank(surfaces.size());
    std::array<std::size_t, kRanks + 1> start{};
    for (std::size_t s = 0; s < surfaces.size(); ++s) {
        rank[s] = static_cast<std::uint8_t>(MaterialRank(surfaces[s].record->name));
        ++start[rank[s] + 1];
    }
    for (std::size_t r = 1; r <= kRanks; ++r) start[r] += start[r - 1];
    materialOrder.assign(surfaces.size(), 0);
    for (std::size_t s = 0; s < surfaces.size(); ++s) {
        materialOrder[start[rank[s]]++] = static_cast<std::uint32_t>(s);
    }
}

void MergedFigure::ListVertices() {
    vertexNumber.assign(PointCount(), kNoIndex);
    for (const MergedFace& face : faces) {
        for (std::uint32_t corner : face.corners) vertexNumber[corner] = 0;
    }
    vertices.clear();
    for (std::uint32_t p = 0; p < vertexNumber.size(); ++p) {
        if (vertexNumber[p] == kNoIndex) continue;
        vertexNumber[p] = static_cast<std::uint32_t>(vertices.size());
        vertices.push_back(p);
    }
}

}  // namespace formats
