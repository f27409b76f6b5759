#include "formats/merged_figure.h"

#include <algorithm>
#include <cmath>

#include "model/connection_tables.h"
#include "model/creature.h"
#include "text/list_order.h"

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

// The place of a surface name among the part names; one past them for a
// name that is no part name.
std::size_t MaterialRank(std::string_view name) {
    for (std::size_t r = 0; r < kMaterialPartNames.size(); ++r) {
        if (text::CompareIgnoringCase(name, kMaterialPartNames[r]) == 0) return r;
    }
    return kMaterialPartNames.size();
}

std::size_t PartPointCount(const model::MeshObject& part) { return part.points.size() / 3; }

// A file without a normals chunk leaves the part without normals.
bool HasNormals(const model::MeshObject& part) { return part.normals.size() >= part.points.size(); }

using Vector = std::array<double, 3>;

Vector Difference(const float* a, const float* b) {
    return {static_cast<double>(a[0]) - b[0], static_cast<double>(a[1]) - b[1], static_cast<double>(a[2]) - b[2]};
}

Vector Cross(const Vector& u, const Vector& v) {
    return {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
}

void Add(float* sum, const Vector& v) {
    sum[0] += static_cast<float>(v[0]);
    sum[1] += static_cast<float>(v[1]);
    sum[2] += static_cast<float>(v[2]);
}

// Scales v to unit length; false (v unchanged) for a zero, infinite or NaN vector.
bool MakeUnit(Vector& v) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (!(length > 0.0) || !std::isfinite(length)) return false;
    const double scale = 1.0 / length;
    for (double& c : v) c *= scale;
    return true;
}

// The same for a vector stored as three floats.
bool Normalise(float* v) {
    Vector unit{v[0], v[1], v[2]};
    if (!MakeUnit(unit)) return false;
    for (int axis = 0; axis < 3; ++axis) v[axis] = static_cast<float>(unit[axis]);
    return true;
}


}  // namespace

void SeamMarks::MarkBoundaryList(int k) {
    if (k == 0) {
        flags |= 1u;
    } else if (k >= 1 && k <= 7) {
        flags |= static_cast<std::uint32_t>(k) * 256u;
    }
}

int SeamMarks::IsBoundaryListMarked(int k) const {
    if (k == 0) return (flags & 1u) != 0 ? 1 : 0;
    if (k < 1 || k > 6) return 0;
    const std::uint32_t mark = static_cast<std::uint32_t>(k) * 256u;
    return (flags & mark) == mark ? 1 : 0;
}

MergeResult MergedFigure::Prepare(const model::Creature& creature, bool typeNames) {
    const MergeResult result = Collect(creature, typeNames);
    if (result == MergeResult::kMerged) MergeSeams();
    return result;
}

MergeResult MergedFigure::Collect(const model::Creature& creature, bool typeNames) {
    parts.clear();
    pointBase.clear();
    polygonBase.clear();
    marks.clear();
    points.clear();
    faces.clear();
    surfaces.clear();
    materialOrder.clear();
    vertices.clear();
    vertexNumber.clear();
    bentOnto.clear();
    normals.clear();
    damagedPart.clear();
    typeTable.fill(-1);
    if (creature.parts.Count() <= 0) return MergeResult::kEmpty;

    // Bases first, so that they hold even when a later part is refused.
    // The counts are the arrays the part holds: a file without a polygon
    // chunk leaves the header's polygon count standing with no polygons.
    std::size_t pointTotal = 0;
    std::size_t faceTotal = 0;
    for (const model::MeshObject& part : creature.parts) {
        pointBase.push_back(static_cast<std::uint32_t>(pointTotal));
        polygonBase.push_back(static_cast<std::uint32_t>(faceTotal));
        parts.push_back(&part);
        pointTotal += PartPointCount(part);
        faceTotal += part.polygons.size();
        if (part.typeId >= 0 && part.typeId < model::kPartTypeCount) {
            typeTable[static_cast<std::size_t>(part.typeId)] = static_cast<std::int32_t>(parts.size() - 1);
        }
    }
    marks.assign(parts.size(), SeamMarks{});
    // Merged indices are 32-bit: 22 parts of at most 65 536 points each are
    // far from their end.

    points.reserve(3 * pointTotal);
    faces.reserve(faceTotal);
    // Per surface index of the part at hand, its entry in the surface list.
    std::vector<std::uint32_t> surfaceEntry(65536, kNoIndex);
    for (std::uint32_t position = 0; position < parts.size(); ++position) {
        if (!AddPart(position, typeNames, surfaceEntry)) {
            damagedPart = parts[position]->objectType;
            return MergeResult::kDamaged;
        }
    }
    return MergeResult::kMerged;
}

bool MergedFigure::AddPart(std::uint32_t position, bool typeNames, std::vector<std::uint32_t>& surfaceEntry) {
    const model::MeshObject& part = *parts[position];
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

    const std::uint32_t base = pointBase[position];
    // The surfaces the part's file named (not its spare records) take the
    // part's type in front with type names. "%s" stops at a zero byte.
    const std::size_t named = std::min(static_cast<std::size_t>(std::max(part.surfaceCount, 0)), part.surfaces.size());
    const std::string type = part.objectType.substr(0, part.objectType.find('\0'));
    const std::size_t firstSurface = surfaces.size();
    for (const model::Polygon& polygon : part.polygons) {
        std::uint32_t& entry = surfaceEntry[polygon.surface];
        if (entry == kNoIndex) {
            entry = static_cast<std::uint32_t>(surfaces.size());
            const model::SurfaceRecord* record =
                polygon.surface < part.surfaces.size() ? &part.surfaces[polygon.surface] : &kUnnamedSurface;
            std::string name = record->name;
            if (typeNames && polygon.surface < named) {
                name = type + "_" + name;
                if (name.size() > model::kMaxSurfaceNameBytes) name.resize(model::kMaxSurfaceNameBytes);
            }
            surfaces.push_back({record, std::move(name), position, polygon.surface});
        }
        faces.push_back({{base + polygon.a, base + polygon.b, base + polygon.c, base + polygon.d}, entry, position});
    }
    // Clean for the next part.
    for (std::size_t s = firstSurface; s < surfaces.size(); ++s) surfaceEntry[surfaces[s].surfaceIndex] = kNoIndex;
    return true;
}

void MergedFigure::MergeSeams() {
    // The first point each neighbour point was bent onto.
    bentOnto.assign(PointCount(), kNoIndex);
    for (std::size_t at = 0; at < parts.size(); ++at) {
        const model::MeshObject* a = parts[at];
        if (a->typeId < 0 || a->typeId >= model::kPartTypeCount) continue;
        const model::ConnectionRow& row = model::ConnectionTable[static_cast<std::size_t>(a->typeId)];
        for (std::int32_t k = 0; k < row.seamCount; ++k) {
            const model::SeamEntry& seam = row.seams[static_cast<std::size_t>(k)];
            const std::int32_t position = typeTable[static_cast<std::size_t>(seam.neighbourType)];
            if (position < 0) continue;
            const auto bt = static_cast<std::size_t>(position);
            const model::MeshObject* b = parts[bt];
            const int j = seam.neighbourList;
            if (marks[bt].IsBoundaryListMarked(j) == 1) continue;
            marks[at].MarkBoundaryList(k);
            marks[bt].MarkBoundaryList(j);
            const auto& keepList = a->boundaryLists[static_cast<std::size_t>(k)];
            const auto& dropList = b->boundaryLists[static_cast<std::size_t>(j)];
            // A shorter neighbour list ends the seam there.
            const std::size_t length = std::min(keepList.size(), dropList.size());
            for (std::size_t m = 0; m < length; ++m) {
                const std::uint32_t keep = pointBase[at] + keepList[m];
                const std::uint32_t drop = pointBase[bt] + dropList[m];
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
        rank[s] = static_cast<std::uint8_t>(MaterialRank(surfaces[s].name));
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

void MergedFigure::ComputeNormals() {
    const std::size_t count = vertices.size();
    // First the sum of the unit normals of the points folded onto each vertex.
    normals.assign(3 * count, 0.0f);
    bool anyBare = false;
    for (std::size_t at = 0; at < parts.size(); ++at) {
        const model::MeshObject* part = parts[at];
        if (!HasNormals(*part)) {
            anyBare = true;
            continue;
        }
        const std::uint32_t base = pointBase[at];
        const std::size_t pointCount = PartPointCount(*part);
        for (std::size_t i = 0; i < pointCount; ++i) {
            Vector normal{part->normals[3 * i], part->normals[3 * i + 1], part->normals[3 * i + 2]};
            if (!MakeUnit(normal)) continue;
            const auto point = static_cast<std::uint32_t>(base + i);
            // A seam point counts where it was bent to, and where it still
            // stands when another part's faces hold it.
            if (vertexNumber[point] != kNoIndex) Add(&normals[3 * static_cast<std::size_t>(vertexNumber[point])], normal);
            const std::uint32_t onto = bentOnto.empty() ? kNoIndex : bentOnto[point];
            if (onto != kNoIndex && vertexNumber[onto] != kNoIndex) {
                Add(&normals[3 * static_cast<std::size_t>(vertexNumber[onto])], normal);
            }
        }
    }
    // The faces of a part without normals around a vertex count as one
    // normal; where that is all there is, it is the answer. Where the sum
    // has no direction, all faces around the vertex decide.
    std::vector<float> bareSum;
    if (anyBare) {
        bareSum.resize(3 * count, 0.0f);
        AddFaceNormals(bareSum, true);
    }
    std::vector<std::size_t> undecided;
    for (std::size_t v = 0; v < 3 * count; v += 3) {
        float* normal = &normals[v];
        if (anyBare) {
            Vector bare{bareSum[v], bareSum[v + 1], bareSum[v + 2]};
            if (MakeUnit(bare)) {
                if (normal[0] == 0.0f && normal[1] == 0.0f && normal[2] == 0.0f) {
                    for (int axis = 0; axis < 3; ++axis) normal[axis] = static_cast<float>(bare[axis]);
                    continue;
                }
                Add(normal, bare);
            }
        }
        if (!Normalise(normal)) undecided.push_back(v);
    }
    if (undecided.empty()) return;
    std::vector<float> faceSum(3 * count, 0.0f);
    AddFaceNormals(faceSum, false);
    for (std::size_t v : undecided) {
        std::copy_n(&faceSum[v], 3, &normals[v]);
        if (!Normalise(&normals[v])) {
            normals[v] = 0.0f;
            normals[v + 1] = 0.0f;
            normals[v + 2] = 1.0f;
        }
    }
}

void MergedFigure::AddFaceNormals(std::vector<float>& sums, bool onlyPartsWithoutNormals) const {
    for (const MergedFace& face : faces) {
        if (onlyPartsWithoutNormals && HasNormals(*parts[face.part])) continue;
        // The cross product of the diagonals: the quad's normal, twice its
        // area long, and a triangle's as well when two corners coincide.
        const auto& c = face.corners;
        const Vector normal = Cross(Difference(Point(c[2]), Point(c[0])), Difference(Point(c[3]), Point(c[1])));
        if (!std::isfinite(normal[0]) || !std::isfinite(normal[1]) || !std::isfinite(normal[2])) continue;
        for (std::size_t k = 0; k < 4; ++k) {
            // A corner repeated in the quad counts once.
            if (k > 0 && c[k] == c[k - 1]) continue;
            if (k > 1 && (c[k] == c[k - 2] || (k == 3 && c[3] == c[0]))) continue;
            Add(&sums[3 * static_cast<std::size_t>(vertexNumber[c[k]])], normal);
        }
    }
}

}  // namespace formats
