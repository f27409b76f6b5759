// MergedFigure: the whole figure as one mesh, the common start of every
// export. All parts' points in one table, every quad as a merged face, the
// seams folded onto the part met first, the surfaces the parts use, the
// materials in their export order and the points still in use. Prepared once
// per export and handed to the writer of the format.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/mesh_object.h"
#include "model/part_types.h"

namespace model {
class Creature;
}

namespace formats {

constexpr std::uint32_t kNoIndex = 0xFFFFFFFFu;

struct MergedFace {
    std::array<std::uint32_t, 4> corners{};  // a, b, c, d as merged point indices
    std::uint32_t surface = 0;               // entry of MergedFigure::surfaces
    std::uint32_t part = 0;                  // position of the face's part in the part list
};

// One surface that a part's polygons use.
struct MergedSurface {
    // The part's record; a polygon naming a surface past the part's table
    // gets an unnamed grey record, as the table's spare records are.
    const model::SurfaceRecord* record = nullptr;
    // The name the files give it: the record's, or with type names
    // "<part type>_<name>" (cut to 255 bytes) for a surface the part's file
    // named (not a spare record).
    std::string name;
    std::uint32_t part = 0;          // position of the part in the part list
    std::uint32_t surfaceIndex = 0;  // the polygons' surface index in that part
};

// Which seams of one part a running export has folded already. List 0
// sets 1, list k (1 … 7) sets the bits of k × 256, and list k (1 … 6)
// counts as marked when all bits of k × 256 are set, so marks of lists 1
// and 2 make list 3 count as marked too. Any other k marks nothing and is
// never marked.
struct SeamMarks {
    void MarkBoundaryList(int k);
    int IsBoundaryListMarked(int k) const;
    std::uint32_t flags = 0;
};

enum class MergeResult {
    kMerged,
    kEmpty,    // no parts
    kDamaged,  // a part's polygons or seams name points it does not have
};

class MergedFigure {
public:
    // Collect, then MergeSeams. The figure refers to the parts and their
    // surface records: use it before the parts change. The figure itself is
    // left as it was.
    MergeResult Prepare(const model::Creature& creature, bool typeNames = false);
    // Sets every part's point and polygon base and clears its seam marks,
    // fills the type table, points, faces and surface list (their names
    // with the part types in front with `typeNames`).
    MergeResult Collect(const model::Creature& creature, bool typeNames = false);
    // For every part in list order and every seam of its type in order,
    // unless the neighbour's list is marked already: marks both lists and
    // bends the neighbour's faces from its seam points onto the part's.
    // Linear: each neighbour point remembers the first point it was bent
    // onto, which is what replacing corner by corner in the neighbour's
    // faces leaves; a corner once bent is outside the neighbour's points and
    // is never bent again.
    void MergeSeams();
    // The surface list in material order: surfaces named like a part
    // (without regard to case) by the part order of the lists, then the rest.
    void OrderMaterials();
    // The points the faces still use, ascending, and each point's number in
    // that list (kNoIndex for a point no face uses).
    void ListVertices();
    // One unit normal per vertex of the vertex list (after ListVertices).
    // A vertex takes the mean direction of the normals of the points folded
    // onto it; the points of a part without normals count with the normal of
    // that part's faces around the vertex. Where that mean has no direction
    // (opposite normals, zero or broken ones) the faces around the vertex
    // decide, and where they have none either, +Z.
    void ComputeNormals();

    std::size_t PointCount() const { return points.size() / 3; }
    const float* Point(std::uint32_t i) const { return &points[3 * static_cast<std::size_t>(i)]; }

    // Position in the part list of the last part of each type id, or -1.
    std::array<std::int32_t, model::kPartTypeCount> typeTable{};
    std::vector<const model::MeshObject*> parts;  // in list order
    // Per part: its first point and first face in the merged figure, and
    // the seams already folded.
    std::vector<std::uint32_t> pointBase;
    std::vector<std::uint32_t> polygonBase;
    std::vector<SeamMarks> marks;
    std::vector<float> points;              // x, y, z per merged point
    std::vector<MergedFace> faces;          // parts in list order, polygons in file order
    std::vector<MergedSurface> surfaces;    // per part the distinct surfaces in order of first use
    std::vector<std::uint32_t> materialOrder;  // entries of surfaces (OrderMaterials)
    std::vector<std::uint32_t> vertices;       // merged point indices (ListVertices)
    std::vector<std::uint32_t> vertexNumber;   // per merged point (ListVertices)
    // Per merged point, the point its seam bent it onto, or kNoIndex (MergeSeams).
    std::vector<std::uint32_t> bentOnto;
    std::vector<float> normals;                // x, y, z per vertex (ComputeNormals)
    std::string damagedPart;                   // the type name of a damaged part

private:
    // Adds each face's normal (twice its area long) to its corners' vertices.
    void AddFaceNormals(std::vector<float>& sums, bool onlyPartsWithoutNormals) const;
    bool AddPart(std::uint32_t position, bool typeNames, std::vector<std::uint32_t>& surfaceEntry);
};

}  // namespace formats
