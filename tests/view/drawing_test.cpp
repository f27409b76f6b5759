// Pictures of small hand-built figures through the real view, rendered
// off-screen: backgrounds, wire colours, the yellow highlight, the state a
// part leaves for the next, and the batched path against the per-quad one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

#include "test_figures.h"
#include "view/gl_headers.h"
#include "view/mesh_drawing.h"
#include "view/quad_batch.h"

namespace viewtest {
namespace {

using testgl::Pixel;

const Pixel kYellow{255, 255, 0, 255};

bool Near(const Pixel& pixel, int r, int g, int b) {
    return std::abs(pixel.r - r) <= 1 && std::abs(pixel.g - g) <= 1 && std::abs(pixel.b - b) <= 1;
}

TEST(MeshDrawing, OnlyTheBackgroundWithoutAFigureOrForAnUnknownMode) {
    ViewRig rig;
    const Colour background{0.2f, 0.4f, 0.6f};
    const Pixel backgroundPixel = ToPixel(background);
    rig.view.state.backgroundColor[0] = background[0];
    rig.view.state.backgroundColor[1] = background[1];
    rig.view.state.backgroundColor[2] = background[2];
    const int all = ViewWidth() * ViewHeight();

    rig.view.creature = nullptr;
    EXPECT_EQ(CountPixels(rig.Render(), backgroundPixel), all) << "no creature";

    rig.view.creature = &rig.creature;
    EXPECT_EQ(CountPixels(rig.Render(), backgroundPixel), all) << "creature without parts";

    AddPart(rig.creature, MakeSquare(0, 0, 0.1f, true, {1, 0, 0}));
    rig.view.state.drawMode = 0;
    EXPECT_LT(CountPixels(rig.Render(), backgroundPixel), all) << "the square shows in smooth mode";
    for (int mode : {3, -1, 100}) {
        rig.view.state.drawMode = mode;
        EXPECT_EQ(CountPixels(rig.Render(), backgroundPixel), all) << "draw mode " << mode;
    }
}

TEST(MeshDrawing, WireframeInTheWireColourAndYellowWhenSelected) {
    ViewRig rig;
    const Colour wire{0.8f, 0.2f, 0.4f};
    rig.view.state.wireColor[0] = wire[0];
    rig.view.state.wireColor[1] = wire[1];
    rig.view.state.wireColor[2] = wire[2];
    rig.view.state.drawMode = 2;
    model::MeshObject* part = AddPart(rig.creature, MakeSquare(0, 0, 0.1f, true, {0, 0, 1}));

    std::vector<Pixel> picture = rig.Render();
    EXPECT_GT(CountPixels(picture, ToPixel(wire)), 100);
    EXPECT_EQ(CountPixels(picture, kYellow), 0);
    EXPECT_EQ(rig.Centre(), ToPixel({0, 0, 0})) << "outline only, no fill";

    rig.Select(part);
    picture = rig.Render();
    EXPECT_GT(CountPixels(picture, kYellow), 100);
    EXPECT_EQ(CountPixels(picture, ToPixel(wire)), 0);
}

TEST(MeshDrawing, SelectedPartGetsAYellowOutlineOnItsBackFacingQuads) {
    for (int mode : {0, 1}) {
        ViewRig rig;
        rig.view.state.drawMode = mode;
        model::MeshObject* away = AddPart(rig.creature, MakeSquare(-0.08f, 0, 0.05f, false, {0, 0, 1}));
        model::MeshObject* toward = AddPart(rig.creature, MakeSquare(0.08f, 0, 0.05f, true, {0, 0, 1}));

        EXPECT_EQ(CountPixels(rig.Render(), kYellow), 0) << "nothing selected, mode " << mode;

        rig.Select(away);
        EXPECT_GT(CountPixels(rig.Render(), kYellow), 100) << "mode " << mode;

        // Front faces are culled for the outline, so a quad facing the viewer gets none.
        rig.Select(toward);
        EXPECT_EQ(CountPixels(rig.Render(), kYellow), 0) << "mode " << mode;
    }
}

TEST(MeshDrawing, NoCullingIsLeftBehindForTheNextPart) {
    for (int mode : {0, 1}) {
        ViewRig rig;
        rig.view.state.drawMode = mode;
        model::MeshObject* empty = AddPart(rig.creature, MakePart({}, {}, {}));
        AddPart(rig.creature, MakeSquare(0, 0, 0.05f, true, {0, 1, 0}));
        const Pixel black = ToPixel({0, 0, 0});

        rig.Render();
        EXPECT_NE(rig.Centre(), black) << "mode " << mode;
        rig.Select(empty);
        rig.Render();
        EXPECT_NE(rig.Centre(), black) << "selected empty part, mode " << mode;

        // A selected part with quads, drawn first, leaves no culling either.
        ViewRig second;
        second.view.state.drawMode = mode;
        second.Select(AddPart(second.creature, MakeSquare(-0.1f, 0, 0.03f, false, {0, 0, 1})));
        AddPart(second.creature, MakeSquare(0, 0, 0.05f, true, {0, 1, 0}));
        second.Render();
        EXPECT_NE(second.Centre(), black) << "after a highlight, mode " << mode;
    }
}

TEST(MeshDrawing, TwoViewsOfOneFigureKeepTheirOwnCamerasAndLeaveTheFigureAsItWas) {
    ViewRig rig;
    AddPart(rig.creature, MakeSphere(0.02f, 0, 0, 0.06f, 8, 10, {{0.9f, 0.3f, 0.2f}, {0.2f, 0.8f, 0.3f}}));
    rig.Select(AddPart(rig.creature, MakeSquare(-0.08f, 0.05f, 0.03f, false, {0, 0, 1})));
    std::vector<std::vector<float>> before;
    for (const model::MeshObject& part : rig.creature.parts) {
        before.push_back(part.points);
        before.push_back(part.normals);
    }
    const std::vector<Pixel> first = rig.Render();

    view::CreatureView other(rig.sink);
    other.OnCreate();
    other.OnGlInit(ui::GlStatus::Ok);
    other.OnSize(ViewWidth(), ViewHeight());
    other.creature = &rig.creature;
    other.state.yaw = 1.2f;
    other.state.pitch = -0.4f;
    other.state.panX = 0.04f;
    other.state.drawMode = view::kDrawFlat;
    other.DrawFrame();
    const std::vector<Pixel> turned = rig.gl.ReadPixels();
    EXPECT_NE(turned, first);
    EXPECT_EQ(CountPixels(turned, kYellow), 0) << "the other view selects nothing";

    EXPECT_EQ(rig.Render(), first) << "the first view's camera is its own";
    std::size_t next = 0;
    for (const model::MeshObject& part : rig.creature.parts) {
        EXPECT_EQ(part.points, before[next++]);
        EXPECT_EQ(part.normals, before[next++]);
    }
}

TEST(MeshDrawing, ThePanMovesThePictureAcrossTheView) {
    const struct {
        float panX;
        float panY;
    } cases[] = {{0.05f, 0}, {0, -0.05f}, {-0.04f, 0.03f}};
    const Pixel red = ToPixel({1, 0, 0});
    for (const auto& c : cases) {
        ViewRig rig;
        rig.view.state.drawMode = view::kDrawWireframe;
        rig.view.state.wireColor[0] = 1;
        rig.view.state.wireColor[1] = rig.view.state.wireColor[2] = 0;
        // A small square's outline about the origin, found again about the pan.
        AddPart(rig.creature, MakeSquare(0, 0, 0.01f, true, {1, 1, 1}));
        rig.view.state.panX = c.panX;
        rig.view.state.panY = c.panY;
        rig.Render();
        EXPECT_EQ(rig.PixelOf(c.panX - 0.01f, c.panY, 0), red) << c.panX << ", " << c.panY;
        EXPECT_NE(rig.PixelOf(-0.01f, 0, 0), red) << c.panX << ", " << c.panY;
    }
}

TEST(MeshDrawing, RoutinesWithoutPolygonsReportItAndRestoreTheirState) {
    ViewRig rig;
    auto empty = MakePart({0, 0, 0}, {}, {});
    view::PlacedPoints placed;
    view::PlacePoints(*empty, view::PlacementOf(rig.view.state), placed);
    const float grey[3] = {0.8f, 0.8f, 0.8f};
    EXPECT_FALSE(view::DrawPartSmooth(*empty, placed, 0.5f));
    EXPECT_FALSE(view::DrawPartFlat(*empty, placed, 0.5f));
    EXPECT_FALSE(view::DrawPartWire(*empty, placed, grey));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(view::DrawPartHighlight(*empty, placed));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_LINE));
    // The polygon count alone does not make polygons.
    empty->polygonCount = 5;
    EXPECT_FALSE(view::DrawPartSmooth(*empty, placed, 0.5f));

    auto square = MakeSquare(0, 0, 0.05f, true, {1, 1, 1});
    view::PlacePoints(*square, view::PlacementOf(rig.view.state), placed);
    EXPECT_TRUE(view::DrawPartFlat(*square, placed, 0.5f));
    GLint shadeModel = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    EXPECT_EQ(shadeModel, GL_FLAT);
    EXPECT_TRUE(view::DrawPartHighlight(*square, placed));
    GLint polygonMode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    EXPECT_EQ(polygonMode[0], GL_LINE);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(MeshDrawing, LightLevelZeroLeavesOnlyTheGlobalAmbientLight) {
    for (int mode : {0, 1}) {
        ViewRig rig;
        rig.view.state.drawMode = mode;
        rig.view.state.lightLevel = 0;
        AddPart(rig.creature, MakeSquare(0, 0, 0.05f, true, {1.0f, 0.5f, 0.25f}));
        rig.Render();
        Pixel centre = rig.Centre();
        EXPECT_TRUE(Near(centre, 51, 26, 13)) << "mode " << mode << ": " << int(centre.r) << ","
                                              << int(centre.g) << "," << int(centre.b);
        // With light the same face is brighter.
        rig.view.state.lightLevel = 1;
        rig.Render();
        EXPECT_GT(rig.Centre().r, centre.r) << "mode " << mode;
    }
}

TEST(MeshDrawing, BadIndicesAreSkippedAndUnknownSurfacesAreGrey) {
    for (view::DrawPath path : {view::DrawPath::Batched, view::DrawPath::PerQuad}) {
        for (int mode : {0, 1, 2}) {
            ViewRig rig;
            rig.view.drawPath = path;
            rig.view.state.drawMode = mode;
            rig.view.state.lightLevel = 0;
            auto part = MakeSquare(0, 0, 0.05f, true, {1, 0, 0});
            part->polygons.Edit()[0].surface = 40;  // no such surface record
            part->polygons.push_back({0, 1, 2, 9, 0});
            part->polygons.push_back({60000, 1, 2, 3, 0});
            part->polygonCount = 3;
            // A point count past the arrays is not read beyond them.
            part->pointCount = 12;
            AddPart(rig.creature, std::move(part));
            rig.Render();
            if (mode != 2) {
                EXPECT_TRUE(Near(rig.Centre(), 26, 26, 26)) << "mode " << mode;
            }
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        }
    }
}

TEST(MeshDrawing, FaceNormalRule) {
    // Points: a, b, c spanning the xy plane; three collinear; a tiny triangle;
    // three nearly collinear.
    std::vector<float> points = {0, 0, 0, 2, 0, 0, 2, 3, 0,   1, 1, 1, 2, 2, 2, 3, 3, 3,
                                 0, 0, 0, 0.001f, 0, 0, 0, 0.001f, 0, 0, 0, 0, 1, 0, 0, 2, 1e-6f, 0};
    float normal[3] = {7, 7, 7};
    ASSERT_TRUE(view::FaceNormal(points.data(), {0, 1, 2, 0, 0}, normal));
    EXPECT_FLOAT_EQ(normal[0], 0);
    EXPECT_FLOAT_EQ(normal[1], 0);
    EXPECT_FLOAT_EQ(normal[2], 1);
    // Reversed order turns it over.
    ASSERT_TRUE(view::FaceNormal(points.data(), {0, 2, 1, 0, 0}, normal));
    EXPECT_FLOAT_EQ(normal[2], -1);

    normal[0] = normal[1] = normal[2] = 7;
    EXPECT_FALSE(view::FaceNormal(points.data(), {3, 4, 5, 0, 0}, normal)) << "collinear";
    EXPECT_FALSE(view::FaceNormal(points.data(), {9, 10, 11, 0, 0}, normal)) << "nearly collinear";
    EXPECT_EQ(normal[0], 7) << "a refused normal leaves the old one";
    // A small quad (cross product 1e-6 long) still gets its own normal.
    ASSERT_TRUE(view::FaceNormal(points.data(), {6, 7, 8, 0, 0}, normal)) << "small but sound";
    EXPECT_FLOAT_EQ(normal[2], 1);
}

TEST(MeshDrawing, TheNearerPartCoversTheFartherInEitherDrawingOrder) {
    // The view scales z by −zoom: with a positive zoom and the figure
    // unturned the part at model z < 0 is the nearer; a negative zoom, or the
    // figure turned half round, brings the one at z > 0 forward.
    const float halfTurn = static_cast<float>(std::acos(-1.0));
    const struct {
        float zoom;
        float yaw;
        float nearZ;
    } cases[] = {{1.1f, 0, -0.1f}, {-1.1f, 0, 0.1f}, {1.1f, halfTurn, 0.1f}, {-1.1f, halfTurn, -0.1f}};
    const auto isRed = [](const Pixel& p) { return p.r > 0 && p.g == 0; };
    const auto isGreen = [](const Pixel& p) { return p.g > 0 && p.r == 0; };
    for (const auto& c : cases) {
        for (bool nearFirst : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "zoom " << c.zoom << ", yaw " << c.yaw
                                              << ", near part drawn " << (nearFirst ? "first" : "last"));
            ViewRig rig;
            rig.view.state.zoom = c.zoom;
            rig.view.state.yaw = c.yaw;
            // A small red square in front of a larger green one, both centred.
            auto nearPart = MakeSquare(0, 0, 0.03f, true, {1, 0, 0}, c.nearZ);
            auto farPart = MakeSquare(0, 0, 0.09f, true, {0, 1, 0}, -c.nearZ);
            if (nearFirst) {
                AddPart(rig.creature, std::move(nearPart));
                AddPart(rig.creature, std::move(farPart));
            } else {
                AddPart(rig.creature, std::move(farPart));
                AddPart(rig.creature, std::move(nearPart));
            }
            // The second frame must not be hidden by the depths of the first.
            rig.Render();
            std::vector<Pixel> picture = rig.Render();
            EXPECT_TRUE(isRed(rig.Centre()));
            int red = 0;
            int green = 0;
            for (const Pixel& p : picture) {
                red += isRed(p) ? 1 : 0;
                green += isGreen(p) ? 1 : 0;
            }
            EXPECT_GT(red, 100);
            EXPECT_GT(green, 100) << "the far square's rim shows around the near one";
        }
    }
}

TEST(MeshDrawing, FlatShadesEachQuadInOneColourSmoothShadesAcrossIt) {
    // A sphere facing the viewer with its model −z half; its quads are large
    // on the screen. Nine points inside each facing quad, away from its
    // edges and from the poles, tell one colour from a gradient. The last
    // column faces away from the light: smooth shading has only the ambient
    // term there, the same all across a quad.
    const int rings = 6;
    const int segments = 8;
    const auto makeSphere = [&] { return MakeSphere(0, 0, 0, 0.12f, rings, segments, {{0.9f, 0.8f, 0.7f}}); };
    const auto render = [&](int mode, std::vector<Pixel>& picture, std::vector<bool>& uniform,
                            std::vector<bool>& lit) {
        ViewRig rig;
        rig.view.state.drawMode = mode;
        model::MeshObject* sphere = AddPart(rig.creature, makeSphere());
        picture = rig.Render();
        uniform.clear();
        lit.clear();
        const auto corner = [&](int ring, int segment, int axis) {
            return sphere->points[3 * static_cast<std::size_t>(ring * (segments + 1) + segment) + axis];
        };
        for (int ring = 1; ring < rings - 1; ++ring) {
            for (int segment = segments / 2; segment < segments; ++segment) {
                std::vector<Pixel> inside;
                for (float u : {0.25f, 0.5f, 0.75f}) {
                    for (float v : {0.25f, 0.5f, 0.75f}) {
                        float at[3];
                        for (int axis = 0; axis < 3; ++axis) {
                            at[axis] = (1 - u) * (1 - v) * corner(ring, segment, axis) +
                                       u * (1 - v) * corner(ring + 1, segment, axis) +
                                       u * v * corner(ring + 1, segment + 1, axis) +
                                       (1 - u) * v * corner(ring, segment + 1, axis);
                        }
                        inside.push_back(rig.PixelOf(at[0], at[1], at[2]));
                    }
                }
                EXPECT_NE(inside[4], ToPixel({0, 0, 0})) << "quad " << ring << "," << segment << " shows";
                uniform.push_back(CountPixels(inside, inside[0]) == static_cast<int>(inside.size()));
                lit.push_back(segment < segments - 1);
            }
        }
    };
    std::vector<Pixel> smooth;
    std::vector<Pixel> flat;
    std::vector<bool> smoothUniform;
    std::vector<bool> flatUniform;
    std::vector<bool> lit;
    render(0, smooth, smoothUniform, lit);
    render(1, flat, flatUniform, lit);

    const auto differing = [](const std::vector<Pixel>& a, const std::vector<Pixel>& b) {
        int count = 0;
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
            count += a[i] == b[i] ? 0 : 1;
        }
        return count;
    };
    EXPECT_GT(differing(smooth, flat), 1000);
    // Flat shading lights a quad by its own face: the points' normals,
    // turned over here, change nothing.
    ViewRig turned;
    turned.view.state.drawMode = 1;
    auto sphere = makeSphere();
    for (float& n : sphere->normals) n = -n;
    AddPart(turned.creature, std::move(sphere));
    EXPECT_EQ(differing(turned.Render(), flat), 0);

    for (std::size_t q = 0; q < flatUniform.size(); ++q) {
        EXPECT_TRUE(flatUniform[q]) << "flat, sampled quad " << q;
        if (lit[q]) {
            EXPECT_FALSE(smoothUniform[q]) << "smooth, sampled quad " << q;
        }
    }
}

// A cone of quads that all end on its tip, each at its own angle, so that
// each flat quad needs its own copy of the tip; its points come after
// `unused` points that no quad uses, which takes the copies' indices past
// 16 bits.
std::unique_ptr<model::MeshObject> MakeCone(float centreX, float centreY, float radius, int sides, int unused) {
    const double pi = std::acos(-1.0);
    std::vector<float> points(3 * static_cast<std::size_t>(unused), 0.0f);
    points.insert(points.end(), {centreX, centreY, -radius});
    const auto tip = static_cast<std::uint16_t>(unused);
    std::vector<model::Polygon> quads;
    for (int side = 0; side < sides; ++side) {
        const double angle = 2 * pi * side / sides;
        const auto x = static_cast<float>(radius * std::cos(angle));
        const auto y = static_cast<float>(radius * std::sin(angle));
        // A point halfway up the side, then one on the rim.
        points.insert(points.end(), {centreX + x / 2, centreY + y / 2, -radius / 2, centreX + x, centreY + y, 0});
        const auto rim = [&](int s) { return static_cast<std::uint16_t>(tip + 2 + 2 * (s % sides)); };
        quads.push_back({rim(side + 1), rim(side), static_cast<std::uint16_t>(rim(side) - 1), tip,
                         static_cast<std::uint16_t>(side % 2)});
    }
    return MakePart(std::move(points), std::move(quads), {{0.8f, 0.8f, 0.8f}, {0.5f, 0.7f, 0.9f}});
}

// The comparison figure: several parts with surface runs, one selected, a
// part without normals, degenerate quads (the very first one inherits
// OpenGL's current normal), polygons that must be skipped and quads that
// share their last corner.
void BuildComparisonFigure(ViewRig& rig) {
    model::Creature& creature = rig.creature;
    const std::vector<Colour> colours = {{0.9f, 0.3f, 0.2f}, {0.2f, 0.8f, 0.3f}, {0.3f, 0.4f, 0.9f}};
    auto odd = MakeSphere(0.05f, -0.04f, 0.02f, 0.05f, 6, 8, colours);
    // The first quad of the figure: a, b, c on one line, d off it.
    odd->points.insert(odd->points.end(), {-0.15f, 0.1f, 0, -0.1f, 0.1f, 0, -0.05f, 0.1f, 0, -0.1f, 0.15f, 0});
    odd->normals.insert(odd->normals.end(), {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1});
    auto base = static_cast<std::uint16_t>(odd->pointCount);
    odd->pointCount += 4;
    std::vector<model::Polygon>& quads = odd->polygons.Edit();
    quads.insert(quads.begin(), model::Polygon{base, static_cast<std::uint16_t>(base + 1),
                                               static_cast<std::uint16_t>(base + 2),
                                               static_cast<std::uint16_t>(base + 3), 1});
    // A degenerate quad in the middle takes the normal of the one before.
    quads.insert(quads.begin() + 20, quads.front());
    quads.push_back({0, 1, 2, 65535, 0});
    quads.push_back({0, 1, 2, 3, 77});
    odd->polygonCount = static_cast<std::int32_t>(odd->polygons.size());
    AddPart(creature, std::move(odd));

    rig.Select(AddPart(creature, MakeSphere(-0.06f, 0.02f, -0.03f, 0.06f, 10, 14, colours)));
    auto flatOnly = MakeSphere(0.02f, 0.1f, 0.0f, 0.04f, 5, 7, {{0.7f, 0.7f, 0.2f}});
    flatOnly->normals.clear();
    AddPart(creature, std::move(flatOnly));
    AddPart(creature, MakeSquare(0.1f, -0.12f, 0.04f, false, {0.6f, 0.2f, 0.7f}));
    AddPart(creature, MakeCone(-0.12f, -0.1f, 0.05f, 40, 65440));
    rig.view.state.yaw = 0.4f;
    rig.view.state.pitch = 0.3f;
}

std::vector<Pixel> RenderComparison(int mode, view::DrawPath path) {
    ViewRig rig;
    BuildComparisonFigure(rig);
    rig.view.drawPath = path;
    rig.view.state.drawMode = mode;
    // The second frame starts from the OpenGL state the first one left.
    rig.Render();
    return rig.Render();
}

TEST(MeshDrawing, BatchedDrawingGivesThePerQuadPicture) {
    for (int mode : {0, 1, 2}) {
        std::vector<Pixel> reference = RenderComparison(mode, view::DrawPath::PerQuad);
        std::vector<Pixel> batched = RenderComparison(mode, view::DrawPath::Batched);
        ASSERT_EQ(reference.size(), batched.size());
        EXPECT_LT(CountPixels(reference, reference[0]), static_cast<int>(reference.size()) - 1000)
            << "the figure shows, mode " << mode;
        int differing = 0;
        for (std::size_t i = 0; i < reference.size(); ++i) {
            differing += reference[i] == batched[i] ? 0 : 1;
        }
        EXPECT_EQ(differing, 0) << "mode " << mode;
    }
}

// Labels in the alpha, in each mode and on either path: each part's pixels
// of the picture carry its label, the background 0, and the colours are
// those of the picture drawn without labels (also with an outlined part).
TEST(MeshDrawing, LabelsInTheAlphaCoverThePictureAndLeaveItsColours) {
    for (int k = 0; k < 6; ++k) {
        SCOPED_TRACE(::testing::Message() << "mode " << k / 2 << ", per quad " << k % 2);
        ViewRig rig;
        rig.view.state.drawMode = k / 2;
        rig.view.drawPath = k % 2 == 0 ? view::DrawPath::Batched : view::DrawPath::PerQuad;
        rig.view.state.backgroundColor[0] = rig.view.state.backgroundColor[2] = 1.0f;
        const model::MeshObject* sphere = AddPart(rig.creature, MakeSphere(0.02f, 0, 0, 0.06f, 8, 10, {{0.9f, 0.3f, 0.2f}}));
        const model::MeshObject* square = AddPart(rig.creature, MakeSquare(-0.06f, 0.04f, 0.04f, true, {0, 0, 1}));
        for (const model::MeshObject* selected : {static_cast<const model::MeshObject*>(nullptr), sphere}) {
            rig.Select(selected);
            rig.view.labelsInAlpha = false;
            const std::vector<Pixel> picture = rig.Render();
            rig.view.labelsInAlpha = true;
            const std::vector<Pixel> labelled = rig.Render();
            ASSERT_EQ(picture.size(), labelled.size());
            int inSphere = 0;
            int inSquare = 0;
            int wrong = 0;
            for (std::size_t i = 0; i < picture.size(); ++i) {
                const Pixel& p = labelled[i];
                inSphere += p.a == sphere->typeId + 1 ? 1 : 0;
                inSquare += p.a == square->typeId + 1 ? 1 : 0;
                wrong += (picture[i] == Pixel{255, 0, 255, 255}) != (p.a == 0) ? 1 : 0;
                wrong += (p.r != picture[i].r || p.g != picture[i].g || p.b != picture[i].b) ? 1 : 0;
            }
            EXPECT_EQ(wrong, 0);
            EXPECT_GT(std::min(inSphere, inSquare), 100);
            EXPECT_EQ(inSphere + inSquare + CountPixels(labelled, Pixel{255, 0, 255, 0}), static_cast<int>(picture.size()));
        }
    }
}

}  // namespace
}  // namespace viewtest
