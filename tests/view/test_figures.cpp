#include "test_figures.h"

#include <cmath>
#include <utility>

#include "model/part_types.h"
#include "ui/dialog_template.h"
#include "view/gl_headers.h"

namespace viewtest {

std::unique_ptr<model::MeshObject> MakePart(std::vector<float> points,
                                            std::vector<model::Polygon> polygons,
                                            const std::vector<Colour>& surfaceColours,
                                            std::vector<float> normals) {
    auto part = std::make_unique<model::MeshObject>();
    part->pointCount = static_cast<int>(points.size() / 3);
    part->polygonCount = static_cast<int>(polygons.size());
    part->surfaceCount = static_cast<int>(surfaceColours.size());
    for (const Colour& colour : surfaceColours) {
        model::SurfaceRecord surface;
        surface.colour = colour;
        part->surfaces.push_back(surface);
    }
    part->restPoints = points;
    part->points = std::move(points);
    part->normals = std::move(normals);
    part->polygons = std::move(polygons);
    return part;
}

std::unique_ptr<model::MeshObject> MakeSquare(float centreX, float centreY, float half,
                                              bool facingViewer, Colour colour, float z) {
    std::vector<float> points = {centreX - half, centreY - half, z, centreX + half, centreY - half, z,
                                 centreX + half, centreY + half, z, centreX - half, centreY + half, z};
    model::Polygon quad = facingViewer ? model::Polygon{0, 1, 2, 3, 0} : model::Polygon{0, 3, 2, 1, 0};
    // The mirrored z of the view turns a model +z normal away from the eye.
    std::vector<float> normals = {0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1};
    return MakePart(std::move(points), {quad}, {colour}, std::move(normals));
}

std::unique_ptr<model::MeshObject> MakeSphere(float centreX, float centreY, float centreZ, float radius,
                                              int rings, int segments,
                                              const std::vector<Colour>& surfaceColours) {
    const double pi = std::acos(-1.0);
    std::vector<float> points;
    std::vector<float> normals;
    for (int ring = 0; ring <= rings; ++ring) {
        double theta = pi * ring / rings;
        for (int segment = 0; segment <= segments; ++segment) {
            double phi = 2 * pi * segment / segments;
            float nx = static_cast<float>(std::sin(theta) * std::cos(phi));
            float ny = static_cast<float>(std::cos(theta));
            float nz = static_cast<float>(std::sin(theta) * std::sin(phi));
            points.insert(points.end(), {centreX + radius * nx, centreY + radius * ny, centreZ + radius * nz});
            normals.insert(normals.end(), {nx, ny, nz});
        }
    }
    std::vector<model::Polygon> polygons;
    const int surfaces = static_cast<int>(surfaceColours.size());
    for (int ring = 0; ring < rings; ++ring) {
        for (int segment = 0; segment < segments; ++segment) {
            auto at = [&](int r, int s) { return static_cast<std::uint16_t>(r * (segments + 1) + s); };
            std::uint16_t surface = static_cast<std::uint16_t>(surfaces > 0 ? (ring / 2) % surfaces : 0);
            polygons.push_back({at(ring, segment), at(ring + 1, segment), at(ring + 1, segment + 1),
                                at(ring, segment + 1), surface});
        }
    }
    return MakePart(std::move(points), std::move(polygons), surfaceColours, std::move(normals));
}

model::MeshObject* AddPart(model::Creature& creature, std::unique_ptr<model::MeshObject> part) {
    model::MeshObject* raw = part.get();
    part->panelIndex = creature.parts.Count();
    part->SetTypeId(model::panelToTypeId[static_cast<std::size_t>(part->panelIndex)]);
    creature.parts.Append(std::move(part));
    return raw;
}

int ViewWidth() { return ui::DialogUnitsToPixelsX(365); }
int ViewHeight() { return ui::DialogUnitsToPixelsY(343); }

ViewRig::ViewRig() : gl(ViewWidth(), ViewHeight()), creature(sink), view(sink) {
    view.OnCreate();
    view.OnGlInit(ui::GlStatus::Ok);
    view.OnSize(ViewWidth(), ViewHeight());
    view.creature = &creature;
}

void ViewRig::Select(const model::MeshObject* part) { view.state.selectedPanel = part != nullptr ? part->panelIndex : -1; }

std::vector<testgl::Pixel> ViewRig::Render() {
    view.DrawFrame();
    return gl.ReadPixels();
}

testgl::Pixel ViewRig::Centre() { return gl.PixelAt(ViewWidth() / 2, ViewHeight() / 2); }

testgl::Pixel ViewRig::PixelOf(float x, float y, float z) {
    // The view's matrices as a frame draws with them: the push-back left in
    // the model-view matrix, then the zoom and the z mirror.
    GLdouble modelView[16];
    GLdouble projection[16];
    GLint viewport[4];
    glPushMatrix();
    glScalef(view.state.zoom, view.state.zoom, -view.state.zoom);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glPopMatrix();
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble windowX = 0;
    GLdouble windowY = 0;
    GLdouble windowZ = 0;
    gluProject(x, y, z, modelView, projection, viewport, &windowX, &windowY, &windowZ);
    // Window y counts up from the bottom row, pixels down from the top.
    return gl.PixelAt(static_cast<int>(std::floor(windowX)),
                      ViewHeight() - 1 - static_cast<int>(std::floor(windowY)));
}

testgl::Pixel ToPixel(const Colour& colour) {
    auto channel = [](float v) { return static_cast<std::uint8_t>(std::lround(v * 255.0f)); };
    return testgl::Pixel{channel(colour[0]), channel(colour[1]), channel(colour[2]), 255};
}

int CountPixels(const std::vector<testgl::Pixel>& pixels, const testgl::Pixel& wanted) {
    int count = 0;
    for (const testgl::Pixel& pixel : pixels) {
        count += pixel == wanted ? 1 : 0;
    }
    return count;
}

}  // namespace viewtest
