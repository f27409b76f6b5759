// Grid: a patch of quads over a (cols + 1) × (rows + 1) lattice of mesh
// points: a tube between rings (columns wrap round) or a cap closing a ring.
// Holes are cut as blocks of cells; their perimeter is snapped onto a seam
// ring and becomes a boundary list or the root of another tube.
#pragma once

#include <functional>
#include <vector>

#include "mesh.h"
#include "seam_ring.h"

namespace library {

struct Grid {
    int cols = 0;
    int rows = 0;
    bool cyclic = false;
    std::vector<int> ids;    // (cols + 1) × (rows + 1), column-fastest
    std::vector<char> open;  // cols × rows, 1 where a hole was cut

    int Id(int i, int j) const;
    void SetId(int i, int j, int id);
    bool IsOpen(int i, int j) const;
};

// A tube over rings of equal size; cell (i, j) joins rings j and j + 1.
Grid TubeGrid(const std::vector<std::vector<int>>& rings);

// Closes a ring of 2(w + h) points, listed in the walk of a w × h block,
// with a w × h grid. Interior points come from Coons interpolation of the
// border; `shape` may then move each of them (given its position and the
// grid coordinates u, v in 0 … 1).
using CapShapeFn = std::function<Vec3(Vec3 p, double u, double v)>;
Grid CapGrid(Mesh& mesh, const std::vector<int>& ring, int w, int h, const CapShapeFn& shape);

// Mean position of the perimeter of a w × h block at (i0, j0).
Vec3 BlockCentre(const Mesh& mesh, const Grid& grid, int i0, int j0, int w, int h);

// Cuts the block out of the grid and snaps its perimeter onto the ring;
// returns the perimeter's point ids in the ring's walk order. The block's
// i and j run along the ring's e1 and e2 (either way round).
std::vector<int> CutHole(Mesh& mesh, Grid& grid, int i0, int j0, int w, int h, const RingShape& ring);

// Cuts the block out without moving anything; returns the perimeter ids in
// the block's own walk order (the root of a tube within the same part).
std::vector<int> OpenBlock(Grid& grid, int i0, int j0, int w, int h);

// Adds the quads of the grid's cells that are not cut, facing away from
// inside(i, j) taken over the whole grid.
void EmitGrid(Mesh& mesh, const Grid& grid, const SurfaceFn& surface,
              const std::function<Vec3(int i, int j)>& inside);

// The ids of ring j of a tube grid (without the repeated column).
std::vector<int> GridRow(const Grid& grid, int j);

}  // namespace library
