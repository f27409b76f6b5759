#include "torso_parts.h"

#include <algorithm>
#include <cmath>

#include "figure_seams.h"
#include "grid.h"
#include "profile.h"

namespace library {

namespace {

double Gauss(double d, double width) { return std::exp(-(d * d) / (width * width)); }

// Rings of a vertical torso section between two heights; ring 0 is `seam`.
struct Section {
    std::vector<std::vector<int>> rings;
    std::vector<Vec3> centres;
};

template <typename ShapeFn, typename BulgeFn>
Section BuildSection(Mesh& mesh, const RingShape& seam, const std::vector<double>& heights, ShapeFn shapeAt,
                     BulgeFn bulge) {
    Section s;
    for (std::size_t j = 0; j < heights.size(); ++j) {
        if (j == 0) {
            s.rings.push_back(mesh.AddPoints(RingPoints(seam)));
            s.centres.push_back(seam.centre);
            continue;
        }
        RingShape ring = seam;
        shapeAt(heights[j], ring);
        const Frame f = MakeFrame(ring.normal, ring.ref);
        const std::vector<double> angles = RingAngles(ring.blockW, ring.blockH);
        std::vector<Vec3> points = RingPoints(ring, angles);
        for (std::size_t e = 0; e < points.size(); ++e) {
            const Vec3 dir = f.e1 * std::cos(angles[e]) + f.e2 * std::sin(angles[e]);
            points[e] = bulge(points[e], dir);
        }
        s.rings.push_back(mesh.AddPoints(points));
        s.centres.push_back(ring.centre);
    }
    return s;
}

std::vector<double> Heights(double from, double to, int count) {
    std::vector<double> h;
    for (int j = 0; j < count; ++j) h.push_back(Lerp(from, to, static_cast<double>(j) / (count - 1)));
    return h;
}

}  // namespace

Mesh BuildUpperBody(const TorsoParams& p) {
    Mesh mesh;
    const RingShape waist = seams::Scaled(seams::Waist(), p.seamScale);
    const Profile ra({{0.045, 0.0285}, {0.062, 0.0322}, {0.080, 0.0362}, {0.094, 0.0395}, {0.104, 0.0418},
                      {0.110, 0.0410}, {0.1135, 0.0375}});
    const Profile rb({{0.045, 0.0185}, {0.062, 0.0210}, {0.080, 0.0232}, {0.094, 0.0228}, {0.104, 0.0205},
                      {0.110, 0.0185}, {0.1135, 0.0165}});
    const Profile zc({{0.045, 0.0015}, {0.080, 0.0005}, {0.1135, 0.0025}});
    const double top = 0.1135;
    const std::vector<double> heights = Heights(waist.centre.y, top, 17);

    auto shapeAt = [&](double y, RingShape& r) {
        const double blend = SmoothStep((y - 0.045) / 0.03);
        const double shoulders = Lerp(1.0, p.shoulders, SmoothStep((y - 0.075) / 0.025));
        r.centre = {0, y, zc(y)};
        r.ra = ra(y) * Lerp(1.0, p.width, blend) * shoulders;
        r.rb = rb(y) * Lerp(1.0, p.depth, blend);
    };
    auto bulge = [&](Vec3 q, Vec3 dir) {
        // Chest muscles in front, shoulder blades behind.
        const double front = std::max(0.0, -dir.z);
        const double back = std::max(0.0, dir.z);
        const double chest = (0.0012 + 0.0022 * p.chest) * front * Gauss(q.y - 0.086, 0.012) *
                             Gauss(std::fabs(q.x) - 0.016, 0.012);
        const double blades = 0.0010 * back * Gauss(q.y - 0.092, 0.012) * Gauss(std::fabs(q.x) - 0.018, 0.012);
        return q + Vec3{0, 0, -chest + blades};
    };
    Section section = BuildSection(mesh, waist, heights, shapeAt, bulge);
    Grid tube = TubeGrid(section.rings);

    // Shoulder tops rise towards the neck; the middle of the cap is drawn
    // together so the neck opening is not much larger than the neck.
    const std::vector<int> topRing = section.rings.back();
    const Vec3 topCentre = mesh.Centroid(topRing);
    Grid cap = CapGrid(mesh, topRing, 9, 7, [&](Vec3 q, double u, double v) {
        const double across = 1 - (2 * u - 1) * (2 * u - 1);
        const double deep = 1 - (2 * v - 1) * (2 * v - 1);
        const double edge = std::max(std::fabs(2 * u - 1), std::fabs(2 * v - 1));
        Vec3 drawn = topCentre + (q - topCentre) * (0.55 + 0.45 * edge);
        drawn.y = q.y;
        return drawn + Vec3{0, 0.0075 * std::pow(across, 1.5) * std::sqrt(deep), 0};
    });

    // The arm openings follow the shoulders' width.
    const double shoulderScale = p.width * p.shoulders;
    const RingShape shoulder = seams::Moved(seams::Shoulder(), {seams::Shoulder().centre.x * (shoulderScale - 1), 0, 0});
    mesh.lists[1] = CutHole(mesh, tube, 11, 10, 3, 5, shoulder);
    mesh.lists[3] = CutHole(mesh, tube, 27, 10, 3, 5, Mirrored(shoulder));
    mesh.lists[2] = CutHole(mesh, cap, 3, 1, 3, 5, seams::BodyToNeck());
    mesh.lists[0] = section.rings.front();
    for (int id : mesh.lists[0]) mesh.Lock(id);

    const int shirt = mesh.Surface("Shirt");
    EmitGrid(mesh, tube, [&](Vec3) { return shirt; },
             [&](int, int j) { return (section.centres[j] + section.centres[j + 1]) * 0.5; });
    const Vec3 below = mesh.Centroid(topRing) - Vec3{0, 0.03, 0};
    EmitGrid(mesh, cap, [&](Vec3) { return shirt; }, [&](int, int) { return below; });
    mesh.BlendSnaps();
    mesh.ComputeNormals();
    mesh.MakeMirrorSymmetric();
    return mesh;
}

Mesh BuildStomach(const TorsoParams& p) {
    Mesh mesh;
    const RingShape waist = seams::Scaled(seams::Waist(), p.seamScale);
    const Profile ra({{0.004, 0.0330}, {0.010, 0.0352}, {0.018, 0.0350}, {0.030, 0.0312}, {0.045, 0.0285}});
    const Profile rb({{0.004, 0.0180}, {0.010, 0.0200}, {0.018, 0.0205}, {0.030, 0.0195}, {0.045, 0.0185}});
    const std::vector<double> heights = Heights(waist.centre.y, 0.0045, 9);

    auto shapeAt = [&](double y, RingShape& r) {
        const double blend = SmoothStep((0.045 - y) / 0.02);
        r.centre = {0, y, 0.0015};
        r.ra = ra(y) * Lerp(1.0, p.width, blend);
        r.rb = rb(y) * Lerp(1.0, p.depth, blend);
    };
    auto bulge = [&](Vec3 q, Vec3 dir) {
        const double front = std::max(0.0, -dir.z);
        const double back = std::max(0.0, dir.z);
        const double belly = (0.0008 + 0.0045 * p.belly) * front * front * Gauss(q.y - 0.026, 0.013) *
                             Gauss(q.x, 0.022);
        const double seat = (0.0020 + 0.0025 * p.seat) * back * Gauss(q.y - 0.010, 0.010) *
                            Gauss(std::fabs(q.x) - 0.014, 0.013);
        return q + Vec3{0, 0, -belly + seat};
    };
    Section section = BuildSection(mesh, waist, heights, shapeAt, bulge);
    Grid tube = TubeGrid(section.rings);

    // The crotch hangs a little below the hips.
    const std::vector<int> bottomRing = section.rings.back();
    Grid cap = CapGrid(mesh, bottomRing, 9, 7, [](Vec3 q, double u, double v) {
        const double across = 1 - (2 * u - 1) * (2 * u - 1);
        const double deep = 1 - (2 * v - 1) * (2 * v - 1);
        return q - Vec3{0, 0.0040 * across * deep, 0};
    });
    const RingShape hip = seams::Moved(seams::Hip(), {seams::Hip().centre.x * (p.width - 1), 0, 0});
    mesh.lists[0] = CutHole(mesh, cap, 6, 1, 3, 5, hip);
    mesh.lists[2] = CutHole(mesh, cap, 0, 1, 3, 5, Mirrored(hip));
    mesh.lists[1] = section.rings.front();
    for (int id : mesh.lists[1]) mesh.Lock(id);

    const int shirt = mesh.Surface("Shirt");
    const int belt = mesh.Surface("Belt");
    const int trousers = mesh.Surface("Trousers");
    auto surface = [&](Vec3 c) {
        if (c.y > 0.0375) return shirt;
        if (c.y > 0.0315) return belt;
        return trousers;
    };
    EmitGrid(mesh, tube, surface, [&](int, int j) { return (section.centres[j] + section.centres[j + 1]) * 0.5; });
    const Vec3 above = mesh.Centroid(bottomRing) + Vec3{0, 0.03, 0};
    EmitGrid(mesh, cap, surface, [&](int, int) { return above; });
    mesh.BlendSnaps();
    mesh.ComputeNormals();
    mesh.MakeMirrorSymmetric();
    return mesh;
}

}  // namespace library
