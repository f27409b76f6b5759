#include "mesh.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>

#include "surface_palette.h"

namespace library {

int Mesh::AddPoint(Vec3 p) {
    points.push_back(p);
    locked_.push_back(0);
    return static_cast<int>(points.size()) - 1;
}

std::vector<int> Mesh::AddPoints(const std::vector<Vec3>& ring) {
    std::vector<int> ids;
    ids.reserve(ring.size());
    for (Vec3 p : ring) ids.push_back(AddPoint(p));
    return ids;
}

int Mesh::Surface(const std::string& name) { return Surface(name, StandardColour(name)); }

int Mesh::Surface(const std::string& name, std::array<std::uint8_t, 3> colour) {
    for (std::size_t i = 0; i < surfaces.size(); ++i) {
        if (surfaces[i].name == name) return static_cast<int>(i);
    }
    surfaces.push_back({name, colour});
    return static_cast<int>(surfaces.size()) - 1;
}

void Mesh::AddQuad(int a, int b, int c, int d, int surface) { quads.push_back({a, b, c, d, surface}); }

namespace {
Vec3 QuadNormal(const std::vector<Vec3>& p, int a, int b, int c, int d) {
    return Cross(p[c] - p[a], p[d] - p[b]);
}
}  // namespace

namespace {
template <typename InsideFn>
void LoftTurned(Mesh& mesh, const std::vector<std::vector<int>>& rings, const StripSurfaceFn& surface,
                InsideFn inside) {
    const auto& points = mesh.points;
    // Decide the turning once for the whole tube, so every strip agrees.
    double facing = 0;
    for (std::size_t k = 0; k + 1 < rings.size(); ++k) {
        const Vec3 centre = inside(k);
        const std::size_t n = rings[k].size();
        for (std::size_t e = 0; e < n; ++e) {
            const int a = rings[k][e], b = rings[k][(e + 1) % n];
            const int c = rings[k + 1][(e + 1) % n], d = rings[k + 1][e];
            const Vec3 mid = (points[a] + points[b] + points[c] + points[d]) * 0.25;
            facing += Dot(QuadNormal(points, a, b, c, d), mid - centre);
        }
    }
    const bool flip = facing < 0;
    for (std::size_t k = 0; k + 1 < rings.size(); ++k) {
        const std::size_t n = rings[k].size();
        for (std::size_t e = 0; e < n; ++e) {
            const int a = rings[k][e], b = rings[k][(e + 1) % n];
            const int c = rings[k + 1][(e + 1) % n], d = rings[k + 1][e];
            const Vec3 mid = (points[a] + points[b] + points[c] + points[d]) * 0.25;
            const int s = surface(static_cast<int>(k), mid);
            if (flip) {
                mesh.AddQuad(a, d, c, b, s);
            } else {
                mesh.AddQuad(a, b, c, d, s);
            }
        }
    }
}
}  // namespace

void Mesh::Loft(const std::vector<std::vector<int>>& rings, const StripSurfaceFn& surface) {
    LoftTurned(*this, rings, surface,
               [&](std::size_t k) { return (Centroid(rings[k]) + Centroid(rings[k + 1])) * 0.5; });
}

void Mesh::Loft(const std::vector<std::vector<int>>& rings, const StripSurfaceFn& surface, Vec3 interior) {
    LoftTurned(*this, rings, surface, [&](std::size_t) { return interior; });
}

void Mesh::Snap(int id, Vec3 p) {
    snaps_.emplace_back(id, p - points[id]);
    points[id] = p;
    locked_[id] = 1;
}

void Mesh::Lock(int id) { locked_[id] = 1; }

void Mesh::BlendSnaps() {
    const std::size_t n = points.size();
    std::vector<std::vector<int>> neighbours(n);
    auto link = [&](int u, int v) {
        neighbours[u].push_back(v);
        neighbours[v].push_back(u);
    };
    for (const Quad& q : quads) {
        link(q.a, q.b);
        link(q.b, q.c);
        link(q.c, q.d);
        link(q.d, q.a);
    }
    std::vector<int> layer(n, -1);
    std::vector<Vec3> moved(n);
    std::vector<int> front;
    for (auto& [id, d] : snaps_) {
        layer[id] = 0;
        moved[id] = d;
        front.push_back(id);
    }
    constexpr double kFalloff[] = {0.6, 0.3, 0.1};
    for (int depth = 1; depth <= 3; ++depth) {
        std::vector<int> next;
        for (int id : front) {
            for (int v : neighbours[id]) {
                if (layer[v] == -1 && !locked_[v]) {
                    layer[v] = depth;
                    next.push_back(v);
                }
            }
        }
        std::sort(next.begin(), next.end());
        next.erase(std::unique(next.begin(), next.end()), next.end());
        for (int v : next) {
            Vec3 sum;
            int count = 0;
            for (int u : neighbours[v]) {
                if (layer[u] == depth - 1) {
                    sum += moved[u];
                    ++count;
                }
            }
            moved[v] = count > 0 ? sum * (1.0 / count) : Vec3{};
        }
        for (int v : next) points[v] += moved[v] * kFalloff[depth - 1];
        front = std::move(next);
    }
    snaps_.clear();
}

void Mesh::OrientQuads() {
    // Undirected edge -> the quads using it, with the direction they run it.
    std::map<std::pair<int, int>, std::vector<std::pair<int, bool>>> edges;
    auto corners = [&](const Quad& q) { return std::array<int, 4>{q.a, q.b, q.c, q.d}; };
    for (std::size_t i = 0; i < quads.size(); ++i) {
        const auto c = corners(quads[i]);
        for (int k = 0; k < 4; ++k) {
            const int u = c[k], v = c[(k + 1) % 4];
            edges[{std::min(u, v), std::max(u, v)}].push_back({static_cast<int>(i), u < v});
        }
    }
    std::vector<char> seen(quads.size(), 0);
    std::vector<char> flip(quads.size(), 0);
    for (std::size_t seed = 0; seed < quads.size(); ++seed) {
        if (seen[seed]) continue;
        seen[seed] = 1;
        std::vector<int> stack{static_cast<int>(seed)};
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            const auto c = corners(quads[i]);
            for (int k = 0; k < 4; ++k) {
                const int u = c[k], v = c[(k + 1) % 4];
                const bool forward = (u < v) != (flip[i] != 0);
                for (auto [j, jForward] : edges[{std::min(u, v), std::max(u, v)}]) {
                    if (seen[j]) continue;
                    seen[j] = 1;
                    // Neighbours run a shared edge in opposite directions.
                    flip[j] = jForward == forward ? 1 : 0;
                    stack.push_back(j);
                }
            }
        }
    }
    for (std::size_t i = 0; i < quads.size(); ++i) {
        if (flip[i]) std::swap(quads[i].b, quads[i].d);
    }
    // Outwards: the volume closed by cones to the mean of the open points.
    std::map<std::pair<int, int>, int> directed;
    for (const Quad& q : quads) {
        const auto c = corners(q);
        for (int k = 0; k < 4; ++k) ++directed[{c[k], c[(k + 1) % 4]}];
    }
    Vec3 apex;
    int open = 0;
    for (const auto& [edge, uses] : directed) {
        if (!directed.count({edge.second, edge.first})) {
            apex += points[edge.first];
            ++open;
        }
    }
    if (open > 0) apex = apex * (1.0 / open);
    double volume = 0;
    for (const Quad& q : quads) {
        const Vec3 a = points[q.a] - apex, b = points[q.b] - apex, c = points[q.c] - apex, d = points[q.d] - apex;
        volume += Dot(a, Cross(b, c)) + Dot(a, Cross(c, d));
    }
    if (volume < 0) {
        for (Quad& q : quads) std::swap(q.b, q.d);
    }
}

void Mesh::ComputeNormals() {
    OrientQuads();
    normals.assign(points.size(), Vec3{});
    for (const Quad& q : quads) {
        const Vec3 n = QuadNormal(points, q.a, q.b, q.c, q.d);
        normals[q.a] += n;
        normals[q.b] += n;
        normals[q.c] += n;
        normals[q.d] += n;
    }
    for (Vec3& n : normals) n = Normalize(n);
}

void Mesh::MirrorX() {
    for (Vec3& p : points) p.x = -p.x;
    for (Vec3& n : normals) n.x = -n.x;
    for (Quad& q : quads) std::swap(q.b, q.d);
}

void Mesh::MakeMirrorSymmetric() {
    std::vector<int> all(points.size());
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
    MakeMirrorSymmetric(all);
}

void Mesh::MakeMirrorSymmetric(const std::vector<int>& ids) {
    // Rounding leaves a mirror image some 1e-17 away; the nearest other
    // point is more than 1e-6 away.
    constexpr double kTolerance = 1e-9;
    std::map<int, int> partner;
    for (std::size_t a = 0; a < ids.size(); ++a) {
        const int i = ids[a];
        if (partner.count(i)) continue;
        int best = -1;
        double bestDistance = kTolerance;
        for (std::size_t b = a; b < ids.size(); ++b) {
            const int j = ids[b];
            if (partner.count(j)) continue;
            const Vec3 image{-points[j].x, points[j].y, points[j].z};
            const double distance = Length(image - points[i]);
            if (distance <= bestDistance) {
                best = j;
                bestDistance = distance;
            }
        }
        if (best < 0) {
            std::fprintf(stderr, "mesh builder: point %d has no mirror image\n", i);
            std::abort();
        }
        partner[i] = best;
        partner[best] = i;
    }
    const bool withNormals = normals.size() == points.size();
    // The mean of a pair, with the x of the one on the plus side.
    auto settle = [](Vec3& a, Vec3& b) {
        Vec3& plus = a.x >= b.x ? a : b;
        Vec3& minus = a.x >= b.x ? b : a;
        const Vec3 mean{(plus.x - minus.x) * 0.5, (plus.y + minus.y) * 0.5, (plus.z + minus.z) * 0.5};
        plus = mean;
        minus = {-mean.x, mean.y, mean.z};
    };
    for (const auto& [i, j] : partner) {
        if (j < i) continue;
        if (j == i) {
            points[i].x = 0;
            if (withNormals) normals[i] = Normalize({0, normals[i].y, normals[i].z});
            continue;
        }
        settle(points[i], points[j]);
        if (withNormals) {
            settle(normals[i], normals[j]);
            normals[i] = Normalize(normals[i]);
            normals[j] = {-normals[i].x, normals[i].y, normals[i].z};
        }
    }
}

Vec3 Mesh::Centroid(const std::vector<int>& ids) const {
    Vec3 sum;
    for (int id : ids) sum += points[id];
    return ids.empty() ? sum : sum * (1.0 / static_cast<double>(ids.size()));
}

formats::ObjectFileData Mesh::ToFileData(bool surfacesInContainer) const {
    formats::ObjectFileData data;
    data.points.reserve(points.size() * 3);
    for (Vec3 p : points) {
        data.points.push_back(static_cast<float>(p.x));
        data.points.push_back(static_cast<float>(p.y));
        data.points.push_back(static_cast<float>(p.z));
    }
    for (Vec3 n : normals) {
        data.normals.push_back(static_cast<float>(n.x));
        data.normals.push_back(static_cast<float>(n.y));
        data.normals.push_back(static_cast<float>(n.z));
    }
    // Quads of one surface together: drawing sets the material once per run.
    std::vector<Quad> sorted = quads;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Quad& x, const Quad& y) { return x.surface < y.surface; });
    for (const Quad& q : sorted) {
        data.polygons.push_back({static_cast<std::uint16_t>(q.a), static_cast<std::uint16_t>(q.b),
                                 static_cast<std::uint16_t>(q.c), static_cast<std::uint16_t>(q.d),
                                 static_cast<std::uint16_t>(q.surface)});
    }
    for (const MeshSurface& s : surfaces) data.surfaces.push_back({s.name, true, s.colour});
    for (std::size_t k = 0; k < lists.size(); ++k) {
        for (int id : lists[k]) data.boundaryLists[k].push_back(static_cast<std::uint16_t>(id));
    }
    data.surfacesInContainer = surfacesInContainer;
    return data;
}

}  // namespace library
