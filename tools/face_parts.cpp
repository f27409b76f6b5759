#include "face_parts.h"

#include <algorithm>
#include <cmath>

#include "grid.h"
#include "head_part.h"

namespace library {

namespace {

// A face part: the seam ring, then rings from `inner`, closed by a cap of a
// w × h block; quads face away from a point inside the head.
struct Layers {
    std::vector<std::vector<Vec3>> inner;
    std::vector<const char*> strips;  // surface of each strip, from the seam inwards
    const char* capSurface = "Skin";
    int capW = 0;
    int capH = 0;
    double capDome = 0;               // along the normal
};

Mesh Assemble(const std::vector<Vec3>& seam, const Layers& layers, const Frame& frame, Vec3 seamCentre,
              std::vector<int>* seamIds) {
    Mesh mesh;
    std::vector<std::vector<int>> rings;
    rings.push_back(mesh.AddPoints(seam));
    for (const auto& ring : layers.inner) rings.push_back(mesh.AddPoints(ring));
    std::vector<int> stripSurface;
    for (const char* name : layers.strips) stripSurface.push_back(mesh.Surface(name));
    const Vec3 interior = seamCentre - frame.n * 0.01;
    mesh.Loft(rings, [&](int strip, Vec3) { return stripSurface[std::min<std::size_t>(strip, stripSurface.size() - 1)]; },
              interior);
    const double dome = layers.capDome;
    Grid cap = CapGrid(mesh, rings.back(), layers.capW, layers.capH, [&](Vec3 q, double u, double v) {
        const double bump = (1 - (2 * u - 1) * (2 * u - 1)) * (1 - (2 * v - 1) * (2 * v - 1));
        return q + frame.n * (dome * bump);
    });
    const int capSurface = mesh.Surface(layers.capSurface);
    EmitGrid(mesh, cap, [&](Vec3) { return capSurface; }, [&](int, int) { return interior; });
    *seamIds = rings.front();
    mesh.ComputeNormals();
    return mesh;
}

}  // namespace

Mesh BuildEye(const EyeParams& p) {
    const FaceRings face = ReferenceFaceRings();
    const RingShape& seam = face.leftEye;
    const Frame f = MakeFrame(seam.normal, seam.ref);
    const std::vector<double> angles = RingAngles(seam.blockW, seam.blockH);
    const std::vector<Vec3> ring = RingPoints(seam, angles);

    // Each inner ring blends from the almond of the lids to the round iris.
    auto layer = [&](double scale, double round, double radius, double lift) {
        std::vector<Vec3> out;
        for (std::size_t e = 0; e < ring.size(); ++e) {
            const Vec3 almond = (ring[e] - seam.centre) * scale;
            const Vec3 circle = (f.e1 * std::cos(angles[e]) + f.e2 * std::sin(angles[e])) * radius;
            out.push_back(seam.centre + Lerp(almond, circle, round) + f.n * lift);
        }
        return out;
    };
    const double iris = 0.00105 * p.irisSize;
    Layers layers;
    layers.inner = {layer(0.93, 0, 0, 0.00035 * p.lid), layer(0.80, 0, 0, 0.00015 + 0.0001 * p.bulge),
                    layer(0.60, 0.3, iris * 1.3, 0.00045 * p.bulge), layer(0, 1, iris, 0.00062 * p.bulge),
                    layer(0, 1, iris * 0.45, 0.00074 * p.bulge)};
    layers.strips = {"Skin", "Eye white", "Eye white", "Eye white", "Iris"};
    layers.capSurface = "Pupil";
    layers.capW = seam.blockW;
    layers.capH = seam.blockH;
    layers.capDome = 0.00004;
    std::vector<int> seamIds;
    Mesh mesh = Assemble(ring, layers, f, seam.centre, &seamIds);
    for (MeshSurface& s : mesh.surfaces) {
        if (s.name == "Iris") s.colour = p.iris;
    }
    mesh.lists[0] = seamIds;
    return mesh;
}

Mesh BuildEar(const EarParams& p) {
    const FaceRings face = ReferenceFaceRings();
    const RingShape& seam = face.leftEar;
    const Frame f = MakeFrame(seam.normal, seam.ref);
    const std::vector<double> angles = RingAngles(seam.blockW, seam.blockH);
    const std::vector<Vec3> ring = RingPoints(seam, angles);

    // A short root, then the flap: an oval leaning back, standing away from
    // the head and turned a little forward.
    auto oval = [&](double ra, double rb, double out, double backShift, double thin) {
        std::vector<Vec3> points;
        for (double a : angles) {
            const double c = std::cos(a), s = std::sin(a);
            double rbHere = rb * (s < 0 ? 1 + 0.35 * p.lobe : 1) * (s > 0 ? 1 + 0.25 * p.point * c * c : 1);
            Vec3 q = seam.centre + f.e1 * (ra * p.size * c + backShift) + f.e2 * (rbHere * p.size * s);
            // The flap leans outwards more at the back edge than at the front.
            q += f.n * (out * p.stickOut + thin * c);
            points.push_back(q);
        }
        return points;
    };
    Layers layers;
    layers.inner = {oval(0.0026, 0.0046, 0.0010, 0.0003, 0.0002), oval(0.0034, 0.0060, 0.0018, 0.0010, 0.0009),
                    oval(0.0036, 0.0064, 0.0022, 0.0012, 0.0012), oval(0.0028, 0.0052, 0.0022, 0.0010, 0.0010)};
    layers.strips = {"Skin"};
    layers.capW = seam.blockW;
    layers.capH = seam.blockH;
    layers.capDome = -0.0006;
    std::vector<int> seamIds;
    Mesh mesh = Assemble(ring, layers, f, seam.centre, &seamIds);
    mesh.lists[0] = seamIds;
    return mesh;
}

namespace {

// One part's share of the nose-and-mouth opening: the head's rim on one
// side of the nose base and the base itself, listed in the walk of a block
// as wide as the opening, so that a cap of that block closes it.
struct HalfOpening {
    std::vector<Vec3> border;
    int w = 0;
    int h = 0;
    std::vector<int> arc;   // border entries of the head's arc, in the head's list order
    std::vector<int> base;  // border entries of the nose base, from the figure's right to its left
};

HalfOpening HalfOf(const FaceRings& face, bool nose) {
    const RingShape& ring = face.face;
    const std::vector<Vec3> rim = RingPoints(ring);
    const auto rimWalk = CanonicalWalk(ring.blockW, ring.blockH);
    HalfOpening half;
    half.w = ring.blockW;
    half.h = nose ? ring.blockH - face.splitRow : face.splitRow;
    // The nose's block starts at the base, the mouth's ends at it.
    const int rowOffset = nose ? face.splitRow : 0;
    const int baseRow = nose ? 0 : half.h;
    const auto walk = CanonicalWalk(half.w, half.h);
    auto at = [&](const std::vector<std::pair<int, int>>& list, int i, int j) {
        return static_cast<int>(std::find(list.begin(), list.end(), std::pair{i, j}) - list.begin());
    };
    for (auto [i, j] : walk) {
        half.border.push_back(j == baseRow ? face.split[static_cast<std::size_t>(i)]
                                           : rim[static_cast<std::size_t>(at(rimWalk, i, j + rowOffset))]);
    }
    for (int e : nose ? face.upperArc : face.lowerArc) {
        const auto [i, j] = rimWalk[static_cast<std::size_t>(e)];
        half.arc.push_back(at(walk, i, j - rowOffset));
    }
    for (int i = 0; i <= half.w; ++i) half.base.push_back(at(walk, i, baseRow));
    return half;
}

std::vector<int> Pick(const std::vector<int>& ids, const std::vector<int>& entries) {
    std::vector<int> picked;
    for (int e : entries) picked.push_back(ids[static_cast<std::size_t>(e)]);
    return picked;
}

}  // namespace

Mesh BuildNose(const NoseParams& p) {
    const FaceRings face = ReferenceFaceRings();
    const Frame f = MakeFrame(face.face.normal, face.face.ref);
    const HalfOpening half = HalfOf(face, true);
    const std::vector<Vec3>& border = half.border;
    const Vec3 base = face.split[face.split.size() / 2];
    Vec3 centre;
    for (Vec3 q : border) centre += q;
    centre = centre * (1.0 / border.size());

    const Vec3 tip = base + f.e2 * p.tipLift + f.n * p.height;
    double top = 0;
    for (Vec3 b : border) top = std::max(top, Dot(b - base, f.e2));
    // First the rings draw in sideways along the cheeks, narrowest at the
    // bridge, and stand a little off the face, so that even the points on
    // the middle line leave the rim; then they rise to the tip.
    std::vector<std::vector<Vec3>> inner;
    constexpr int kRings = 7;
    constexpr double kDrawIn = 0.3;
    for (int k = 1; k <= kRings; ++k) {
        const double t = static_cast<double>(k) / kRings;
        const double tA = SmoothStep(t / kDrawIn);
        const double tB = Clamp01((t - kDrawIn) / (1 - kDrawIn));
        const double rise = 1 - (1 - tB) * (1 - tB);
        const double lift = 0.0004 * std::sin(kPi * tB) + 0.0003 * tA * (1 - rise);
        std::vector<Vec3> ring;
        for (Vec3 b : border) {
            const double u = Dot(b - centre, f.e1);
            const double v = Clamp01(Dot(b - base, f.e2) / top);
            const double narrow = Lerp(0.80 * p.width, 0.30, std::pow(v, 0.8));
            const double uNarrow = u * Lerp(1.0, narrow, tA);
            // Stay on the face's curve while drawing in.
            const Vec3 drawn = b + f.e1 * (uNarrow - u) + f.n * (face.face.curve * (uNarrow * uNarrow - u * u));
            const Vec3 target = tip + f.e1 * (u * p.tipSize * p.width) + f.e2 * (Dot(b - centre, f.e2) * p.tipSize);
            ring.push_back(Lerp(drawn, target, rise) + f.n * lift);
        }
        inner.push_back(ring);
    }
    Layers layers;
    layers.inner = inner;
    layers.strips = {"Skin"};
    layers.capW = half.w;
    layers.capH = half.h;
    layers.capDome = 0.0005;
    std::vector<int> seamIds;
    Mesh mesh = Assemble(border, layers, f, face.face.centre, &seamIds);
    mesh.lists[0] = Pick(seamIds, half.arc);
    mesh.lists[1] = Pick(seamIds, half.base);
    mesh.MakeMirrorSymmetric();
    return mesh;
}

Mesh BuildMouth(const MouthParams& p) {
    const FaceRings face = ReferenceFaceRings();
    const Frame f = MakeFrame(face.face.normal, face.face.ref);
    const HalfOpening half = HalfOf(face, false);
    const std::vector<Vec3>& border = half.border;
    Vec3 centre;
    for (Vec3 q : border) centre += q;
    centre = centre * (1.0 / border.size());

    const Vec3 lipsCentre = face.split[face.split.size() / 2] - f.e2 * 0.0027;
    auto lipsRing = [&](double sx, double sy, double lift, double blend) {
        std::vector<Vec3> ring;
        for (Vec3 b : border) {
            const Vec3 rel = b - centre;
            const double a = std::atan2(Dot(rel, f.e2), Dot(rel, f.e1));
            const double c = std::cos(a), s = std::sin(a);
            const double corner = c * c * c * c;
            Vec3 q = lipsCentre + f.e1 * (0.0040 * p.width * sx * c) +
                     f.e2 * (0.0022 * sy * s + 0.0007 * p.smile * corner) + f.n * lift;
            // Depth of the face under the lips follows the opening's curves.
            const double u = Dot(q - face.face.centre, f.e1), v = Dot(q - face.face.centre, f.e2);
            q += f.n * (face.face.curve * u * u + face.face.curveV * v * v);
            ring.push_back(Lerp(b, q, blend));
        }
        return ring;
    };
    const double full = p.lips;
    Layers layers;
    layers.inner = {lipsRing(1.25, 1.5, 0.0002, 0.45), lipsRing(1.05, 1.15, 0.0002, 1),
                    lipsRing(0.92, 0.85, 0.0001 + 0.0004 * full, 1), lipsRing(0.80, 0.45, 0.0004 * full, 1),
                    lipsRing(0.70, 0.10, -0.0001, 1)};
    layers.strips = {"Skin", "Skin", "Lips", "Lips", "Lips"};
    layers.capSurface = "Mouth";
    layers.capW = half.w;
    layers.capH = half.h;
    layers.capDome = -0.0002;
    std::vector<int> seamIds;
    Mesh mesh = Assemble(border, layers, f, face.face.centre, &seamIds);
    mesh.lists[0] = Pick(seamIds, half.arc);
    mesh.lists[1] = Pick(seamIds, half.base);
    mesh.MakeMirrorSymmetric();
    return mesh;
}

}  // namespace library
