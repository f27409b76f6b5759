#include "head_part.h"

#include <cmath>

#include "figure_seams.h"
#include "grid.h"

namespace library {

namespace {

constexpr Vec3 kHeadCentre{0, 0.1562, 0.001};
constexpr int kColumns = 32;          // round the head; 8 per side of each cap
constexpr int kRows = 18;             // between the caps
constexpr double kLatBottom = -62 * kPi / 180;
constexpr double kLatTop = 52 * kPi / 180;

// Openings, as blocks of the tube grid (columns from the front right,
// rows from the bottom) or of the bottom cap.
struct Block {
    int i0, j0, w, h;
};
// Split across its middle row by the nose base: the nose above, the mouth below.
constexpr Block kFace{2, 3, 4, 6};
constexpr Block kLeftEye{7, 9, 3, 2};
constexpr Block kRightEye{30, 9, 3, 2};
constexpr Block kLeftEar{12, 7, 2, 4};
constexpr Block kRightEar{26, 7, 2, 4};
constexpr Block kNeck{2, 3, 4, 4};

// Column angles, closer together at the front where the face is.
double ColumnAngle(int i) {
    const double phi = (225.0 + 360.0 * i / kColumns) * kPi / 180;
    return phi - 0.35 * std::sin(phi - 1.5 * kPi);
}

double Smooth(double x, double from, double to) { return SmoothStep((x - from) / (to - from)); }

// The head's surface point in a direction from its centre.
Vec3 SurfacePoint(const HeadParams& p, Vec3 direction) {
    const Vec3 d = Normalize(direction);
    const double down = std::max(0.0, -d.y);
    const double jaw = 1 - p.jaw * Smooth(down, 0.15, 0.95) * (d.z < 0 ? 1.0 : 0.6);
    const double ax = p.width * jaw;
    const double ay = d.y > 0 ? p.heightUp : p.heightDown;
    const double az = d.z < 0 ? p.front * (1 + p.chin * Smooth(down, 0.45, 0.9)) : p.back;
    const double e = p.exponent;
    const double sum = std::pow(std::fabs(d.x) / ax, e) + std::pow(std::fabs(d.y) / ay, e) +
                       std::pow(std::fabs(d.z) / az, e);
    return kHeadCentre + d * std::pow(sum, -1.0 / e);
}

struct Layout {
    Grid tube;
    Grid top;
    Grid bottom;
};

// Points of the head without openings: a tube between two caps on a unit
// sphere, then pushed out onto the head's surface along the rays.
Layout BuildLayout(Mesh& mesh, const HeadParams& p) {
    Layout layout;
    std::vector<std::vector<int>> rings;
    for (int j = 0; j <= kRows; ++j) {
        const double lat = Lerp(kLatBottom, kLatTop, static_cast<double>(j) / kRows);
        std::vector<Vec3> ring;
        for (int i = 0; i < kColumns; ++i) {
            const double a = ColumnAngle(i);
            ring.push_back({std::cos(lat) * std::cos(a), std::sin(lat), std::cos(lat) * std::sin(a)});
        }
        rings.push_back(mesh.AddPoints(ring));
    }
    layout.tube = TubeGrid(rings);
    layout.top = CapGrid(mesh, rings.back(), 8, 8, nullptr);
    layout.bottom = CapGrid(mesh, rings.front(), 8, 8, nullptr);
    for (Vec3& q : mesh.points) q = SurfacePoint(p, q);
    return layout;
}

Vec3 Centre(const Mesh& mesh, const Grid& g, const Block& b) { return BlockCentre(mesh, g, b.i0, b.j0, b.w, b.h); }

RingShape EyeRing(Vec3 surfaceCentre) {
    RingShape r;
    r.normal = Normalize({0.30, 0.06, -1});
    r.ref = {1, 0, 0};
    r.blockW = 3;
    r.blockH = 2;
    r.ra = 0.0027;
    r.rb = 0.00145;
    r.exponent = 1.7;
    r.centre = surfaceCentre - r.normal * 0.0004;
    return r;
}

RingShape EarRing(Vec3 surfaceCentre) {
    RingShape r;
    r.normal = Normalize({1, 0, 0.1});
    r.ref = {0, 0, 1};
    r.blockW = 2;
    r.blockH = 4;
    r.ra = 0.0030;
    r.rb = 0.0050;
    r.centre = surfaceCentre - r.normal * 0.0003;
    return r;
}

// The nose-and-mouth opening; its centre sits on the nose base.
RingShape FaceRing(const Mesh& mesh, const Grid& tube) {
    RingShape r;
    r.normal = Normalize({0, -0.33, -1});
    r.ref = {1, 0, 0};
    r.blockW = kFace.w;
    r.blockH = kFace.h;
    r.ra = 0.0042;
    r.rb = 0.0076;
    r.rbNegative = 0.0094;
    r.exponent = 2.1;
    r.curve = -30;
    r.curveV = -14;
    // The nose base lies between tube rows 6 and 7; the block's middle row,
    // which the base leaves from, is drawn up half a row onto it.
    const int mid = 6;
    const Vec3 sides = (mesh.points[tube.Id(kFace.i0, mid)] + mesh.points[tube.Id(kFace.i0, mid + 1)] +
                        mesh.points[tube.Id(kFace.i0 + kFace.w, mid)] +
                        mesh.points[tube.Id(kFace.i0 + kFace.w, mid + 1)]) *
                       0.25;
    r.centre = sides - r.normal * (r.curve * r.ra * r.ra);
    r.centre.x = 0;  // on the mirror plane
    return r;
}

FaceRings RingsOf(const Mesh& mesh, const Layout& layout) {
    FaceRings rings;
    rings.leftEye = EyeRing(Centre(mesh, layout.tube, kLeftEye));
    rings.leftEar = EarRing(Centre(mesh, layout.tube, kLeftEar));
    rings.face = FaceRing(mesh, layout.tube);
    // The nose base leaves the rim at the two entries of the middle row; each
    // arc runs in walk order from one of them to the other, both included.
    const auto walk = CanonicalWalk(kFace.w, kFace.h);
    const int n = static_cast<int>(walk.size());
    rings.splitRow = kFace.h / 2;
    auto entry = [&](int i, int j) {
        int found = 0;
        for (int e = 0; e < n; ++e) {
            if (walk[e].first == i && walk[e].second == j) found = e;
        }
        return found;
    };
    const int left = entry(kFace.w, rings.splitRow);
    const int right = entry(0, rings.splitRow);
    for (int e = left;; e = (e + 1) % n) {
        rings.upperArc.push_back(e);
        if (e == right) break;
    }
    for (int e = right;; e = (e + 1) % n) {
        rings.lowerArc.push_back(e);
        if (e == left) break;
    }
    // The nose base runs across on the face's curve; its ends are the rim's
    // own points, copied, so the nose and the mouth hold them bit for bit.
    const std::vector<Vec3> ring = RingPoints(rings.face);
    const Vec3 rightEnd = ring[right];
    const Vec3 leftEnd = ring[left];
    const Frame f = MakeFrame(rings.face.normal, rings.face.ref);
    const double uRight = Dot(rightEnd - rings.face.centre, f.e1);
    const double uLeft = Dot(leftEnd - rings.face.centre, f.e1);
    for (int k = 0; k <= kFace.w; ++k) {
        const double t = static_cast<double>(k) / kFace.w;
        const double u = Lerp(uRight, uLeft, t);
        const double depth = rings.face.curve * (u * u - Lerp(uRight * uRight, uLeft * uLeft, t));
        rings.split.push_back(k == 0 ? rightEnd : k == kFace.w ? leftEnd : Lerp(rightEnd, leftEnd, t) + f.n * depth);
    }
    return rings;
}

std::vector<int> Pick(const std::vector<int>& perimeter, const std::vector<int>& entries) {
    std::vector<int> ids;
    for (int e : entries) ids.push_back(perimeter[e]);
    return ids;
}

}  // namespace

FaceRings ReferenceFaceRings() {
    Mesh scratch;
    const Layout layout = BuildLayout(scratch, HeadParams{});
    return RingsOf(scratch, layout);
}

Mesh BuildHead(const HeadParams& p) {
    Mesh reference;
    const Layout referenceLayout = BuildLayout(reference, HeadParams{});
    const Vec3 neckOffset = seams::NeckToHead().centre - Centre(reference, referenceLayout.bottom, kNeck);

    Mesh mesh;
    Layout layout = BuildLayout(mesh, p);
    const FaceRings rings = RingsOf(mesh, layout);

    RingShape neck = seams::NeckToHead();
    neck.centre = Centre(mesh, layout.bottom, kNeck) + neckOffset;
    mesh.lists[0] = CutHole(mesh, layout.bottom, kNeck.i0, kNeck.j0, kNeck.w, kNeck.h, neck);
    mesh.lists[1] = CutHole(mesh, layout.tube, kLeftEye.i0, kLeftEye.j0, kLeftEye.w, kLeftEye.h, rings.leftEye);
    mesh.lists[2] = CutHole(mesh, layout.tube, kRightEye.i0, kRightEye.j0, kRightEye.w, kRightEye.h,
                            Mirrored(rings.leftEye));
    const std::vector<int> face = CutHole(mesh, layout.tube, kFace.i0, kFace.j0, kFace.w, kFace.h, rings.face);
    mesh.lists[3] = Pick(face, rings.upperArc);
    mesh.lists[4] = Pick(face, rings.lowerArc);
    mesh.lists[5] = CutHole(mesh, layout.tube, kLeftEar.i0, kLeftEar.j0, kLeftEar.w, kLeftEar.h, rings.leftEar);
    mesh.lists[6] = CutHole(mesh, layout.tube, kRightEar.i0, kRightEar.j0, kRightEar.w, kRightEar.h,
                            Mirrored(rings.leftEar));

    const int skin = mesh.Surface("Skin");
    const int hair = mesh.Surface("Hair", p.hair);
    auto surface = [&](Vec3 c) {
        const Vec3 d = Normalize(c - kHeadCentre);
        // The hair line runs level over the forehead and the ears and drops
        // to the nape behind them.
        const double line = d.z > 0.38 ? p.hairBack : (d.z > -0.6 ? p.hairSide : p.hairFront);
        return d.y > line ? hair : skin;
    };
    auto inside = [&](int, int) { return kHeadCentre; };
    EmitGrid(mesh, layout.tube, surface, inside);
    EmitGrid(mesh, layout.top, surface, inside);
    EmitGrid(mesh, layout.bottom, surface, inside);
    mesh.BlendSnaps();

    // Hair has some thickness: points inside the hair stand out a little.
    std::vector<char> bare(mesh.points.size(), 0);
    for (const Quad& q : mesh.quads) {
        if (q.surface != hair) bare[q.a] = bare[q.b] = bare[q.c] = bare[q.d] = 1;
    }
    for (std::size_t i = 0; i < mesh.points.size(); ++i) {
        if (bare[i] || mesh.IsLocked(static_cast<int>(i))) continue;
        mesh.points[i] += Normalize(mesh.points[i] - kHeadCentre) * p.hairThickness;
    }
    mesh.ComputeNormals();
    mesh.MakeMirrorSymmetric();
    return mesh;
}

}  // namespace library
