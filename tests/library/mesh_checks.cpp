#include "mesh_checks.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "model/connection_tables.h"
#include "formats/object_reader.h"

namespace librarytest {

std::string LibraryDir() { return MW_SAMPLE_LIBRARY_DIR; }

std::vector<std::string> PartFiles(const std::string& part) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& item : std::filesystem::directory_iterator(std::filesystem::path(LibraryDir()) / part, ec)) {
        if (item.path().extension() == ".mwo") files.push_back(item.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::unique_ptr<model::MeshObject> ReadPart(const std::string& path) {
    formats::ObjectRefusal why;
    return formats::ReadObjectFile(path, why);
}

namespace {
std::map<std::pair<int, int>, int> DirectedEdges(const model::MeshObject& part) {
    std::map<std::pair<int, int>, int> edges;
    for (const model::Polygon& q : part.polygons) {
        const int c[4] = {q.a, q.b, q.c, q.d};
        for (int k = 0; k < 4; ++k) ++edges[{c[k], c[(k + 1) % 4]}];
    }
    return edges;
}

struct P {
    double x, y, z;
};
P At(const model::MeshObject& part, int i) {
    return {part.points[3 * static_cast<std::size_t>(i)], part.points[3 * static_cast<std::size_t>(i) + 1],
            part.points[3 * static_cast<std::size_t>(i) + 2]};
}
double Det(P a, P b, P c) {
    return a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) + a.z * (b.x * c.y - b.y * c.x);
}
P Minus(P a, P b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
}  // namespace

int RepeatedDirectedEdges(const model::MeshObject& part) {
    int repeated = 0;
    for (const auto& [edge, uses] : DirectedEdges(part)) repeated += uses > 1 ? 1 : 0;
    return repeated;
}

std::set<int> OpenPoints(const model::MeshObject& part) {
    const auto edges = DirectedEdges(part);
    std::set<int> open;
    for (const auto& [edge, uses] : edges) {
        if (!edges.count({edge.second, edge.first})) {
            open.insert(edge.first);
            open.insert(edge.second);
        }
    }
    return open;
}

std::set<int> SeamPoints(const model::MeshObject& part) {
    std::set<int> seam;
    for (int k = 0; k < model::kBoundaryListCount; ++k) {
        for (int e = 0; e < part.BoundaryCount(k); ++e) seam.insert(part.BoundaryList(k)[e]);
    }
    return seam;
}

double ClosedVolume(const model::MeshObject& part) {
    // Origin at the mean of the open points; the cone over every opening
    // then adds nothing, and the quads alone give the closed volume.
    P o{0, 0, 0};
    const std::set<int> open = OpenPoints(part);
    for (int i : open) {
        const P p = At(part, i);
        o = {o.x + p.x, o.y + p.y, o.z + p.z};
    }
    if (!open.empty()) o = {o.x / open.size(), o.y / open.size(), o.z / open.size()};
    double volume = 0;
    for (const model::Polygon& q : part.polygons) {
        const P a = Minus(At(part, q.a), o), b = Minus(At(part, q.b), o), c = Minus(At(part, q.c), o),
                d = Minus(At(part, q.d), o);
        volume += (Det(a, b, c) + Det(a, c, d)) / 6;
    }
    return volume;
}

const model::MeshObject* FindPart(const model::Creature& creature, int typeId) {
    for (int i = 0; i < creature.parts.Count(); ++i) {
        const model::MeshObject* part = creature.PartAt(i);
        if (part && part->typeId == typeId) return part;
    }
    return nullptr;
}

double WidestSeamGap(const model::Creature& creature) {
    double widest = 0;
    for (const model::ConnectionRow& row : model::ConnectionTable) {
        const model::MeshObject* part = FindPart(creature, row.typeId);
        if (!part) continue;
        for (int k = 0; k < row.seamCount; ++k) {
            const model::SeamEntry& seam = row.seams[k];
            const model::MeshObject* other = FindPart(creature, seam.neighbourType);
            if (!other) continue;
            const int count = std::min(part->BoundaryCount(k), other->BoundaryCount(seam.neighbourList));
            for (int e = 0; e < count; ++e) {
                const P p = At(*part, part->BoundaryList(k)[e]);
                const P q = At(*other, other->BoundaryList(seam.neighbourList)[e]);
                widest = std::max(widest, std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y) +
                                                    (p.z - q.z) * (p.z - q.z)));
            }
        }
    }
    return widest;
}

}  // namespace librarytest
