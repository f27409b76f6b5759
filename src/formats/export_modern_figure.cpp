#include "formats/export_modern_figure.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <string_view>
#include <unordered_set>

#include "formats/atomic_file.h"
#include "formats/export_report.h"

namespace formats {

namespace {

// One material a name and colour, the colour compared by its bits (-0 as 0).
struct MaterialKey {
    std::string_view name;
    std::array<std::uint32_t, 3> colour;
    bool operator<(const MaterialKey& other) const {
        return name != other.name ? name < other.name : colour < other.colour;
    }
};

MaterialKey KeyOf(const MergedSurface& surface) {
    MaterialKey key{surface.name, {}};
    for (std::size_t c = 0; c < 3; ++c) {
        const float component = surface.record->colour[c] + 0.0f;
        std::memcpy(&key.colour[c], &component, sizeof component);
    }
    return key;
}

}  // namespace

bool ModernFigure::Prepare(const model::Creature& creature, ui::MessageSink& messages, const ExportSettings& settings,
                           FileFrame frame, bool smoothNormals) {
    materials.clear();
    positions.clear();
    normals.clear();
    droppedTriangles = 0;
    mergedPoints = 0;
    if (!PrepareFigure(merged, creature, messages, settings.typeNames)) return false;
    MergeCoincidentPoints();
    merged.OrderMaterials();
    merged.ListVertices();
    if (smoothNormals) merged.ComputeNormals();
    MarkTriangles();
    CollectMaterials();
    Place(settings.metresPerUnit, frame);
    // A point that is finite in object units can pass the float range in
    // millimetres: the part it belongs to is named.
    std::vector<const model::MeshObject*> unbounded;
    for (std::size_t v = 0; v < merged.vertices.size(); ++v) {
        const float* p = Position(static_cast<std::uint32_t>(v));
        if (std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2])) continue;
        const std::uint32_t point = merged.vertices[v];
        const model::MeshObject* owner = merged.parts.front();
        for (std::size_t at = 0; at < merged.parts.size(); ++at) {
            if (merged.pointBase[at] <= point) owner = merged.parts[at];
        }
        unbounded.push_back(owner);
    }
    if (!unbounded.empty()) {
        ReportUnboundedPart(messages, LargestFactorPart(unbounded)->objectType);
        return false;
    }
    if (settings.cleanup != nullptr) {
        settings.cleanup->droppedTriangles += droppedTriangles;
        settings.cleanup->mergedPoints += mergedPoints;
    }
    return true;
}

void ModernFigure::MergeCoincidentPoints() {
    // Which points the faces use: only those count as merged.
    std::vector<std::uint8_t> used(merged.PointCount(), 0);
    for (const MergedFace& face : merged.faces) {
        for (std::uint32_t corner : face.corners) used[corner] = 1;
    }
    std::vector<std::uint32_t>& onto = merged.bentOnto;
    bool anyMerged = false;
    // Each part's own points in an open-addressed table by place: the first
    // point found on a place is the one every later one there becomes.
    std::vector<std::uint32_t> slots;
    const auto bitsOf = [&](std::uint32_t p, int axis) {
        const float c = merged.Point(p)[axis] + 0.0f;  // -0 as 0
        std::uint32_t bits = 0;
        std::memcpy(&bits, &c, sizeof bits);
        return bits;
    };
    for (std::size_t at = 0; at < merged.parts.size(); ++at) {
        const model::MeshObject* part = merged.parts[at];
        const std::uint32_t base = merged.pointBase[at];
        const auto count = static_cast<std::uint32_t>(part->points.size() / 3);
        std::size_t size = 16;
        while (size < 2 * static_cast<std::size_t>(count)) size *= 2;
        slots.assign(size, kNoIndex);
        for (std::uint32_t p = base; p < base + count; ++p) {
            // A seam point bent onto its neighbour is no longer the part's.
            if (onto[p] != kNoIndex) continue;
            const float* xyz = merged.Point(p);
            if (std::isnan(xyz[0]) || std::isnan(xyz[1]) || std::isnan(xyz[2])) continue;
            const std::uint32_t x = bitsOf(p, 0);
            const std::uint32_t y = bitsOf(p, 1);
            const std::uint32_t z = bitsOf(p, 2);
            std::uint64_t hash = (x * 0x9E3779B97F4A7C15ull) ^ (y * 0xC2B2AE3D27D4EB4Full) ^ (z * 0x165667B19E3779F9ull);
            hash ^= hash >> 29;
            for (std::size_t slot = hash & (size - 1);; slot = (slot + 1) & (size - 1)) {
                const std::uint32_t there = slots[slot];
                if (there == kNoIndex) {
                    slots[slot] = p;
                    break;
                }
                if (bitsOf(there, 0) == x && bitsOf(there, 1) == y && bitsOf(there, 2) == z) {
                    onto[p] = there;
                    anyMerged = true;
                    mergedPoints += used[p];
                    break;
                }
            }
        }
    }
    if (!anyMerged) return;
    // A seam point bent onto a point that was merged now goes where that
    // one went (a point merged onto another is never bent itself).
    for (std::uint32_t& target : onto) {
        if (target != kNoIndex && onto[target] != kNoIndex) target = onto[target];
    }
    for (MergedFace& face : merged.faces) {
        for (std::uint32_t& corner : face.corners) {
            if (onto[corner] != kNoIndex) corner = onto[corner];
        }
    }
}

void ModernFigure::MarkTriangles() {
    triangleMask_.assign(merged.faces.size(), 0);
    for (std::size_t f = 0; f < merged.faces.size(); ++f) {
        const auto& c = merged.faces[f].corners;
        const bool first = c[0] != c[1] && c[1] != c[2] && c[2] != c[0];
        const bool second = c[2] != c[3] && c[3] != c[0] && c[0] != c[2];
        triangleMask_[f] = static_cast<std::uint8_t>((first ? 1 : 0) | (second ? 2 : 0));
        droppedTriangles += (first ? 0 : 1) + (second ? 0 : 1);
    }
}

void ModernFigure::CollectMaterials() {
    // Names are matched byte for byte, as the .3ds groups match them.
    std::map<MaterialKey, std::uint32_t> byNameAndColour;
    std::unordered_set<std::string> taken;
    std::unordered_set<std::string_view> namesSeen;
    std::vector<std::uint32_t> materialOfSurface(merged.surfaces.size());
    for (std::uint32_t s : merged.materialOrder) {
        const MergedSurface& surface = merged.surfaces[s];
        const model::SurfaceRecord* record = surface.record;
        const auto [at, added] = byNameAndColour.try_emplace(KeyOf(surface), static_cast<std::uint32_t>(materials.size()));
        materialOfSurface[s] = at->second;
        if (!added) continue;
        std::string name = surface.name;
        if (!namesSeen.insert(surface.name).second) {
            // Another colour of a name already given: the part's type tells them apart.
            const std::string base = merged.parts[surface.part]->objectType + " " + surface.name;
            name = base;
            for (int n = 2; taken.count(name) != 0; ++n) name = base + " " + std::to_string(n);
        }
        taken.insert(name);
        materials.push_back({record, std::move(name), {}});
    }
    std::vector<std::size_t> faceCounts(materials.size(), 0);
    for (std::uint32_t f = 0; f < merged.faces.size(); ++f) {
        if (triangleMask_[f] != 0) ++faceCounts[materialOfSurface[merged.faces[f].surface]];
    }
    for (std::size_t m = 0; m < materials.size(); ++m) materials[m].faces.reserve(faceCounts[m]);
    for (std::uint32_t f = 0; f < merged.faces.size(); ++f) {
        if (triangleMask_[f] != 0) materials[materialOfSurface[merged.faces[f].surface]].faces.push_back(f);
    }
}

void ModernFigure::Place(double metresPerUnit, FileFrame frame) {
    const std::size_t count = merged.vertices.size();
    double low[3] = {0, 0, 0};
    double high[3] = {0, 0, 0};
    bool first = true;
    for (std::uint32_t p : merged.vertices) {
        const float* xyz = merged.Point(p);
        if (!std::isfinite(xyz[0]) || !std::isfinite(xyz[1]) || !std::isfinite(xyz[2])) continue;
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = first ? xyz[axis] : std::min(low[axis], static_cast<double>(xyz[axis]));
            high[axis] = first ? xyz[axis] : std::max(high[axis], static_cast<double>(xyz[axis]));
        }
        first = false;
    }
    // Feet on the ground, centred across; the model's z mirrored so that the
    // figure faces its readers as it faces the view.
    const double centreX = (low[0] + high[0]) / 2;
    const double centreZ = (low[2] + high[2]) / 2;
    const double scale = frame == FileFrame::kMillimetresZUp ? 1000.0 * metresPerUnit : metresPerUnit;
    origin_ = {centreX, low[1], centreZ};
    scale_ = scale;
    frame_ = frame;
    const bool withNormals = !merged.normals.empty();
    positions.resize(3 * count);
    normals.resize(withNormals ? 3 * count : 0);
    for (std::size_t v = 0; v < count; ++v) {
        const float* xyz = merged.Point(merged.vertices[v]);
        const double x = (xyz[0] - centreX) * scale;
        const double up = (xyz[1] - low[1]) * scale;
        const double front = -(xyz[2] - centreZ) * scale;  // towards the reader
        float* out = &positions[3 * v];
        // +Y up facing +Z, or +Z up facing -Y.
        const bool yUp = frame == FileFrame::kMetresYUp;
        out[0] = static_cast<float>(x) + 0.0f;  // no -0 in the files
        out[1] = static_cast<float>(yUp ? up : -front) + 0.0f;
        out[2] = static_cast<float>(yUp ? front : up) + 0.0f;
        if (!withNormals) continue;
        const float* n = &merged.normals[3 * v];
        float* normal = &normals[3 * v];
        normal[0] = n[0];
        normal[1] = yUp ? n[1] : n[2];
        normal[2] = yUp ? -n[2] : n[1];
    }
}

std::array<double, 3> ModernFigure::FilePoint(const std::array<double, 3>& modelPoint) const {
    const double x = (modelPoint[0] - origin_[0]) * scale_;
    const double up = (modelPoint[1] - origin_[1]) * scale_;
    const double front = -(modelPoint[2] - origin_[2]) * scale_;
    if (frame_ == FileFrame::kMetresYUp) return {x, up, front};
    return {x, -front, up};
}

std::pair<std::uint32_t, std::uint32_t> ModernFigure::PartPoint(std::uint32_t vertex) const {
    const std::uint32_t point = merged.vertices[vertex];
    // The last part starting at or before the point: parts without points
    // share their base with the next part.
    const auto after = std::upper_bound(merged.pointBase.begin(), merged.pointBase.end(), point);
    const auto part = static_cast<std::uint32_t>(after - merged.pointBase.begin() - 1);
    return {part, point - merged.pointBase[part]};
}

int ModernFigure::Triangles(std::uint32_t face, std::array<std::array<std::uint32_t, 3>, 2>& out) const {
    const auto& c = merged.faces[face].corners;
    const std::uint32_t a = merged.vertexNumber[c[0]];
    const std::uint32_t b = merged.vertexNumber[c[1]];
    const std::uint32_t cc = merged.vertexNumber[c[2]];
    const std::uint32_t d = merged.vertexNumber[c[3]];
    // Both frames mirror the model, so every triangle is turned round.
    int n = 0;
    if ((triangleMask_[face] & 1) != 0) out[n++] = {a, cc, b};
    if ((triangleMask_[face] & 2) != 0) out[n++] = {cc, a, d};
    return n;
}

std::array<std::uint32_t, 4> ModernFigure::Corners(std::uint32_t face) const {
    const auto& c = merged.faces[face].corners;
    return {merged.vertexNumber[c[0]], merged.vertexNumber[c[3]], merged.vertexNumber[c[2]],
            merged.vertexNumber[c[1]]};
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
