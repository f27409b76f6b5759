// Small hand-built parts and a rendering rig for the view's tests: a real
// CreatureView drawing into an off-screen context of the view's size.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "model/creature.h"
#include "model/mesh_object.h"
#include "osmesa_context.h"
#include "recording_sink.h"
#include "ui/message_sink.h"
#include "view/creature_view.h"

namespace viewtest {

using Colour = std::array<float, 3>;

using testsupport::RecordingSink;

// A part from points and quads; normals may be empty.
std::unique_ptr<model::MeshObject> MakePart(std::vector<float> points,
                                            std::vector<model::Polygon> polygons,
                                            const std::vector<Colour>& surfaceColours,
                                            std::vector<float> normals = {});

// A square in a plane of constant z (0 unless given), turned towards the
// viewer (counter-clockwise on the screen) or away from it.
std::unique_ptr<model::MeshObject> MakeSquare(float centreX, float centreY, float half,
                                              bool facingViewer, Colour colour, float z = 0);

// A sphere of rings × segments quads whose surfaces alternate in bands, with
// point normals; for comparing pictures.
std::unique_ptr<model::MeshObject> MakeSphere(float centreX, float centreY, float centreZ, float radius,
                                              int rings, int segments,
                                              const std::vector<Colour>& surfaceColours);

// Appends the part to the creature's list as connection would, as the part
// of the next panel index (the first part is panel 0, the next 1, ...), so
// that a view can select it.
model::MeshObject* AddPart(model::Creature& creature, std::unique_ptr<model::MeshObject> part);

// The view's size in pixels.
int ViewWidth();
int ViewHeight();

// A view with a current context of the view's size, set up as at start-up,
// drawing `creature`.
struct ViewRig {
    ViewRig();
    std::vector<testgl::Pixel> Render();
    testgl::Pixel Centre();
    // The pixel of the last frame where a model point shows while the figure
    // is neither turned nor panned.
    testgl::Pixel PixelOf(float x, float y, float z);
    // Outlines the part (one added by AddPart), or none for null.
    void Select(const model::MeshObject* part);

    RecordingSink sink;
    testgl::OsMesaContext gl;
    model::Creature creature;
    view::CreatureView view;
};

testgl::Pixel ToPixel(const Colour& colour);
int CountPixels(const std::vector<testgl::Pixel>& pixels, const testgl::Pixel& wanted);

}  // namespace viewtest
