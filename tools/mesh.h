// Mesh: the quad mesh of one body part while it is being built: points,
// quads with their surface, the surface table and the boundary lists; turned
// into object file data at the end.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "formats/object_writer.h"
#include "vec3.h"

namespace library {

struct Quad {
    int a;
    int b;
    int c;
    int d;
    int surface;
};

struct MeshSurface {
    std::string name;
    std::array<std::uint8_t, 3> colour;
};

// Picks the surface of a quad from its centre.
using SurfaceFn = std::function<int(Vec3 centre)>;
// Picks the surface of a quad of a loft from its strip (rings k, k + 1) and centre.
using StripSurfaceFn = std::function<int(int strip, Vec3 centre)>;

class Mesh {
public:
    int AddPoint(Vec3 p);
    std::vector<int> AddPoints(const std::vector<Vec3>& ring);
    // Index of the named surface, added on first use with the colour given
    // (or the standard colour of that name).
    int Surface(const std::string& name);
    int Surface(const std::string& name, std::array<std::uint8_t, 3> colour);
    void AddQuad(int a, int b, int c, int d, int surface);

    // Quads between consecutive rings of equal size (each ring closed), all
    // turned one way: away from the rings' centres, or, with an interior
    // point, away from it.
    void Loft(const std::vector<std::vector<int>>& rings, const StripSurfaceFn& surface);
    void Loft(const std::vector<std::vector<int>>& rings, const StripSurfaceFn& surface, Vec3 interior);

    // Moves a point onto a seam and locks it; the move is remembered so that
    // BlendSnaps can carry part of it to the neighbours.
    void Snap(int id, Vec3 p);
    void Lock(int id);
    bool IsLocked(int id) const { return locked_[id] != 0; }
    // Spreads remembered moves over three layers of unlocked neighbours, so a
    // snapped hole does not leave a crease; then forgets them.
    void BlendSnaps();

    // Turns every quad the way of its neighbours across shared edges, then
    // the whole mesh so that it faces outwards (the volume it closes with
    // cones over its openings is positive). Builders turn quads locally;
    // this settles where two patches meet.
    void OrientQuads();
    // Area-weighted unit normals; orients the quads first.
    void ComputeNormals();
    // Mirror image in x (a right-hand part from a left-hand one): points and
    // normals mirrored, quads reversed so they still face outwards.
    void MirrorX();
    // For a part that spans the mirror plane x = 0 and is built symmetric up
    // to rounding: pairs every point with its mirror image and makes each
    // pair exact mirror images, points and normals, a point on the plane
    // getting x = 0. Both halves of the figure then meet on the plane bit for
    // bit. Stops the generator when a point has no mirror image.
    void MakeMirrorSymmetric();
    // The same for some points only, which hold their mirror images.
    void MakeMirrorSymmetric(const std::vector<int>& ids);
    Vec3 Centroid(const std::vector<int>& ids) const;

    formats::ObjectFileData ToFileData(bool surfacesInContainer) const;

    std::vector<Vec3> points;
    std::vector<Vec3> normals;
    std::vector<Quad> quads;
    std::vector<MeshSurface> surfaces;
    std::array<std::vector<int>, 8> lists;

private:
    std::vector<char> locked_;
    std::vector<std::pair<int, Vec3>> snaps_;
};

}  // namespace library
