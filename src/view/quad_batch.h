// QuadBatch: what the drawing hands to OpenGL for one part, built into
// buffers that are kept from part to part and frame to frame, so that a warm
// figure draws without allocating. Also the part's checked geometry and the
// flat-mode normal rule, shared by the batched and the per-quad paths so that
// both compute exactly the same values.
#pragma once

#include <cstdint>
#include <vector>

#include "model/mesh_object.h"
#include "view/placement.h"

namespace view {

// A part's drawing arrays as far as they can be read safely.
struct PartGeometry {
    const float* points = nullptr;   // placed points, usablePoints × 3
    const float* normals = nullptr;  // placed normals, or null for a part without normals
    int usablePoints = 0;            // points with a full entry in the arrays
    const model::Polygon* polygons = nullptr;
    int polygonCount = 0;            // polygons present in the array
};

PartGeometry InspectPart(const model::MeshObject& part, const PlacedPoints& placed);

// A polygon is drawn only when its four points exist.
inline bool PolygonInRange(const model::Polygon& polygon, int usablePoints) {
    return polygon.a < usablePoints && polygon.b < usablePoints && polygon.c < usablePoints &&
           polygon.d < usablePoints;
}

// The flat-mode normal: the single-precision cross product of b − a and
// c − a, divided by its length. False (normal untouched) when the product is
// zero or its length is at most 0.00001 of the product of the two edges'
// lengths (equal or collinear corners); the quad keeps the current normal.
bool FaceNormal(const float* points, const model::Polygon& polygon, float normal[3]);

// The surface's colour, or the default grey for an index past the table.
void SurfaceColour(const model::MeshObject& part, std::uint16_t surface, float colour[3]);

// Consecutive drawable quads of one surface.
struct SurfaceRun {
    std::uint16_t surface = 0;
    int firstQuad = 0;
    int quadCount = 0;
};

class QuadBatch {
public:
    // Four point indices per drawable quad, in polygon order, grouped in runs.
    void BuildIndexed(const PartGeometry& geometry);
    // Four corners per drawable quad with their normals: the points' own
    // (pointNormals) or the quad's flat-rule normal. With the flat rule,
    // quads whose normal comes from before the part (degenerate quads ahead
    // of the first usable normal) are counted in LeadingInherited; the caller
    // fills them in with FillInherited once it knows OpenGL's current normal.
    void BuildCorners(const PartGeometry& geometry, bool pointNormals);
    // Flat shading colours a quad by its last corner alone, so a flat quad
    // needs its normal on that corner only: the part's points as they are,
    // one normal per point, and four point indices per quad. A quad whose
    // last corner already carries another quad's different normal gets a
    // copy of that point (as do the LeadingInherited quads). Lights about a
    // quarter of the corners that BuildCorners hands over.
    void BuildFlatIndexed(const PartGeometry& geometry);
    // Gives the LeadingInherited quads of the last build OpenGL's current normal.
    void FillInherited(const float currentNormal[3]);

    const std::uint16_t* Indices() const { return indices_.data(); }
    const float* Corners() const { return corners_.data(); }
    const float* CornerNormals() const { return cornerNormals_.data(); }
    const std::vector<SurfaceRun>& Runs() const { return runs_; }
    // BuildFlatIndexed: the points (the part's own array unless copies were
    // added) with their normals, and the indices, 32-bit when WideIndices().
    const float* FlatPoints() const { return flatPoints_; }
    const float* PointNormals() const { return pointNormals_.data(); }
    bool WideIndices() const { return wideIndices_; }
    const void* FlatIndices() const;
    int QuadCount() const { return quadCount_; }
    int LeadingInherited() const { return leadingInherited_; }
    // The normal the last quad was drawn with (either build); meaningful when
    // HasLastNormal(), otherwise the current normal was never replaced.
    bool HasLastNormal() const { return hasLastNormal_; }
    const float* LastNormal() const { return lastNormal_; }

private:
    void StartRuns();
    void AddToRuns(std::uint16_t surface);
    template <typename Index>
    void BuildFlat(const PartGeometry& geometry, Index* indices);

    // Sizes only grow; the first quadCount_ entries are current.
    std::vector<std::uint16_t> indices_;
    std::vector<float> corners_;
    std::vector<float> cornerNormals_;
    std::vector<SurfaceRun> runs_;
    std::vector<std::uint32_t> indices32_;
    std::vector<float> pointNormals_;
    std::vector<float> pointCopies_;
    std::vector<std::uint16_t> copiedFrom_;
    std::vector<std::uint8_t> normalSet_;
    const float* flatPoints_ = nullptr;
    bool wideIndices_ = false;
    float* inheritedNormals_ = nullptr;  // where the LeadingInherited normals go
    int inheritedVertices_ = 0;
    int quadCount_ = 0;
    int leadingInherited_ = 0;
    bool hasLastNormal_ = false;
    float lastNormal_[3] = {0, 0, 1};
};

// The batch the drawing routines of the calling thread share.
QuadBatch& SharedQuadBatch();

}  // namespace view
