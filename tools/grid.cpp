#include "grid.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace library {

namespace {
int Wrap(const Grid& g, int i) {
    if (!g.cyclic) return i;
    return ((i % g.cols) + g.cols) % g.cols;
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "mesh builder: %s\n", what);
    std::abort();
}
}  // namespace

int Grid::Id(int i, int j) const { return ids[static_cast<std::size_t>(j) * (cols + 1) + Wrap(*this, i)]; }

void Grid::SetId(int i, int j, int id) { ids[static_cast<std::size_t>(j) * (cols + 1) + i] = id; }

bool Grid::IsOpen(int i, int j) const { return open[static_cast<std::size_t>(j) * cols + Wrap(*this, i)] != 0; }

Grid TubeGrid(const std::vector<std::vector<int>>& rings) {
    Grid g;
    g.cyclic = true;
    g.cols = static_cast<int>(rings.front().size());
    g.rows = static_cast<int>(rings.size()) - 1;
    g.ids.resize(static_cast<std::size_t>(g.cols + 1) * (g.rows + 1));
    g.open.assign(static_cast<std::size_t>(g.cols) * g.rows, 0);
    for (int j = 0; j <= g.rows; ++j) {
        if (static_cast<int>(rings[j].size()) != g.cols) Fail("tube rings differ in size");
        for (int i = 0; i <= g.cols; ++i) g.SetId(i, j, rings[j][i % g.cols]);
    }
    return g;
}

Grid CapGrid(Mesh& mesh, const std::vector<int>& ring, int w, int h, const CapShapeFn& shape) {
    if (static_cast<int>(ring.size()) != 2 * (w + h)) Fail("cap does not fit its ring");
    Grid g;
    g.cols = w;
    g.rows = h;
    g.ids.assign(static_cast<std::size_t>(w + 1) * (h + 1), -1);
    g.open.assign(static_cast<std::size_t>(w) * h, 0);
    const auto walk = CanonicalWalk(w, h);
    for (std::size_t e = 0; e < walk.size(); ++e) g.SetId(walk[e].first, walk[e].second, ring[e]);
    auto border = [&](int i, int j) { return mesh.points[g.Id(i, j)]; };
    for (int j = 1; j < h; ++j) {
        for (int i = 1; i < w; ++i) {
            const double u = static_cast<double>(i) / w;
            const double v = static_cast<double>(j) / h;
            const Vec3 p = border(i, 0) * (1 - v) + border(i, h) * v + border(0, j) * (1 - u) + border(w, j) * u -
                           (border(0, 0) * ((1 - u) * (1 - v)) + border(w, 0) * (u * (1 - v)) +
                            border(0, h) * ((1 - u) * v) + border(w, h) * (u * v));
            g.SetId(i, j, mesh.AddPoint(shape ? shape(p, u, v) : p));
        }
    }
    return g;
}

Vec3 BlockCentre(const Mesh& mesh, const Grid& grid, int i0, int j0, int w, int h) {
    Vec3 sum;
    int count = 0;
    for (auto [i, j] : CanonicalWalk(w, h)) {
        sum += mesh.points[grid.Id(i0 + i, j0 + j)];
        ++count;
    }
    return sum * (1.0 / count);
}

namespace {
void MarkOpen(Grid& grid, int i0, int j0, int w, int h) {
    if (j0 < 0 || j0 + h > grid.rows) Fail("hole outside the grid rows");
    if (!grid.cyclic && (i0 < 0 || i0 + w > grid.cols)) Fail("hole outside the grid columns");
    for (int j = j0; j < j0 + h; ++j) {
        for (int i = i0; i < i0 + w; ++i) {
            if (grid.IsOpen(i, j)) Fail("holes overlap");
            grid.open[static_cast<std::size_t>(j) * grid.cols + Wrap(grid, i)] = 1;
        }
    }
}
}  // namespace

std::vector<int> OpenBlock(Grid& grid, int i0, int j0, int w, int h) {
    MarkOpen(grid, i0, j0, w, h);
    std::vector<int> perimeter;
    for (auto [i, j] : CanonicalWalk(w, h)) perimeter.push_back(grid.Id(i0 + i, j0 + j));
    return perimeter;
}

std::vector<int> CutHole(Mesh& mesh, Grid& grid, int i0, int j0, int w, int h, const RingShape& ring) {
    MarkOpen(grid, i0, j0, w, h);
    // Which way the block's i and j run along the ring's axes.
    const Frame f = MakeFrame(ring.normal, ring.ref, ring.mirrored);
    const Vec3 origin = mesh.points[grid.Id(i0, j0)];
    const Vec3 alongI = Normalize(mesh.points[grid.Id(i0 + w, j0)] - origin);
    const Vec3 alongJ = Normalize(mesh.points[grid.Id(i0, j0 + h)] - origin);
    if (std::fabs(Dot(alongI, f.e1)) < std::fabs(Dot(alongI, f.e2))) Fail("hole turned across its ring");
    const bool flipI = Dot(alongI, f.e1) < 0;
    const bool flipJ = Dot(alongJ, f.e2) < 0;

    std::vector<int> perimeter;
    for (auto [i, j] : CanonicalWalk(w, h)) {
        const int gi = i0 + (flipI ? w - i : i);
        const int gj = j0 + (flipJ ? h - j : j);
        perimeter.push_back(grid.Id(gi, gj));
    }
    const std::vector<Vec3> target = RingPoints(ring);
    for (std::size_t e = 0; e < perimeter.size(); ++e) mesh.Snap(perimeter[e], target[e]);
    return perimeter;
}

void EmitGrid(Mesh& mesh, const Grid& grid, const SurfaceFn& surface,
              const std::function<Vec3(int i, int j)>& inside) {
    auto corners = [&](int i, int j, int c[4]) {
        c[0] = grid.Id(i, j);
        c[1] = grid.Id(i + 1, j);
        c[2] = grid.Id(i + 1, j + 1);
        c[3] = grid.Id(i, j + 1);
    };
    const auto& p = mesh.points;
    double facing = 0;
    for (int j = 0; j < grid.rows; ++j) {
        for (int i = 0; i < grid.cols; ++i) {
            if (grid.IsOpen(i, j)) continue;
            int c[4];
            corners(i, j, c);
            const Vec3 n = Cross(p[c[2]] - p[c[0]], p[c[3]] - p[c[1]]);
            const Vec3 mid = (p[c[0]] + p[c[1]] + p[c[2]] + p[c[3]]) * 0.25;
            facing += Dot(n, mid - inside(i, j));
        }
    }
    const bool flip = facing < 0;
    for (int j = 0; j < grid.rows; ++j) {
        for (int i = 0; i < grid.cols; ++i) {
            if (grid.IsOpen(i, j)) continue;
            int c[4];
            corners(i, j, c);
            const Vec3 mid = (p[c[0]] + p[c[1]] + p[c[2]] + p[c[3]]) * 0.25;
            const int s = surface(mid);
            if (flip) {
                mesh.AddQuad(c[0], c[3], c[2], c[1], s);
            } else {
                mesh.AddQuad(c[0], c[1], c[2], c[3], s);
            }
        }
    }
}

std::vector<int> GridRow(const Grid& grid, int j) {
    std::vector<int> row;
    for (int i = 0; i < grid.cols; ++i) row.push_back(grid.Id(i, j));
    return row;
}

}  // namespace library
