// The four drawing routines of one part: lights, materials and the OpenGL
// state they leave behind, and the quads sent either per polygon or batched.
#include <cstddef>

#include "model/mesh_object.h"
#include "view/gl_headers.h"
#include "view/mesh_drawing.h"
#include "view/quad_batch.h"
#include "view/view_state.h"

namespace view {
namespace {

struct LightSetup {
    GLfloat position[4];
    GLfloat specular[4];
    GLenum shadeModel;
};

const LightSetup kSmoothLight = {{-114.0f, 14.0f, -114.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 0.1f}, GL_SMOOTH};
const LightSetup kFlatLight = {{-4.0f, 4.0f, -4.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, GL_FLAT};

// Shade model, light 0 and fill mode of the shaded routines. The position is
// given under the view's model-view matrix, so it turns with the zoom and the
// z mirror.
void SetUpShading(const LightSetup& setup, float lightLevel) {
    glShadeModel(setup.shadeModel);
    const GLfloat ambient[4] = {lightLevel, lightLevel, lightLevel, 0.1f};
    const GLfloat diffuse[4] = {lightLevel, lightLevel, lightLevel, 0.4f};
    glLightfv(GL_LIGHT0, GL_POSITION, setup.position);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, setup.specular);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

// Per thread: headless pictures are drawn on several threads at once.
thread_local float drawingAlpha = 1.0f;

void SetMaterial(const model::MeshObject& part, std::uint16_t surface) {
    float colour[3];
    SurfaceColour(part, surface, colour);
    // A lit vertex's alpha is its material's diffuse alpha.
    const GLfloat surfaceColour[4] = {colour[0], colour[1], colour[2], drawingAlpha};
    const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, surfaceColour);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, surfaceColour);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0.0f);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
}

void Vertex(const float* array, std::uint16_t index) {
    const float* p = array + 3 * static_cast<std::size_t>(index);
    glVertex3d(p[0], p[1], p[2]);
}

void Normal(const float* array, std::uint16_t index) {
    const float* n = array + 3 * static_cast<std::size_t>(index);
    glNormal3d(n[0], n[1], n[2]);
}

// Reference path of the shaded modes: one begin/end per polygon, materials
// only when the surface changes. Without per-point normals the flat rule
// gives each quad its normal.
void ShadedPerQuad(const model::MeshObject& part, const PartGeometry& geometry, bool pointNormals) {
    int lastSurface = -1;
    for (int i = 0; i < geometry.polygonCount; ++i) {
        const model::Polygon& polygon = geometry.polygons[i];
        if (!PolygonInRange(polygon, geometry.usablePoints)) {
            continue;
        }
        if (polygon.surface != lastSurface) {
            SetMaterial(part, polygon.surface);
            lastSurface = polygon.surface;
        }
        const std::uint16_t corner[4] = {polygon.a, polygon.b, polygon.c, polygon.d};
        if (pointNormals) {
            glBegin(GL_QUADS);
            for (std::uint16_t index : corner) {
                Normal(geometry.normals, index);
                Vertex(geometry.points, index);
            }
            glEnd();
        } else {
            float normal[3];
            if (FaceNormal(geometry.points, polygon, normal)) {
                glNormal3d(normal[0], normal[1], normal[2]);
            }
            glBegin(GL_QUADS);
            for (std::uint16_t index : corner) {
                Vertex(geometry.points, index);
            }
            glEnd();
        }
    }
}

// One array draw per surface run of a built batch, over `points` and
// `normals`: quads that take over OpenGL's current normal get it first, and
// the current normal is left as the per-quad path leaves it (it is undefined
// after an array draw, and a later degenerate flat quad inherits it).
template <typename DrawRun>
void DrawSurfaceRuns(const model::MeshObject& part, QuadBatch& batch, const float* points, const float* normals,
                     DrawRun drawRun) {
    GLfloat current[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    if (batch.LeadingInherited() > 0) {
        glGetFloatv(GL_CURRENT_NORMAL, current);
        batch.FillInherited(current);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, points);
    glNormalPointer(GL_FLOAT, 0, normals);
    for (const SurfaceRun& run : batch.Runs()) {
        SetMaterial(part, run.surface);
        drawRun(run);
    }
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glNormal3fv(batch.HasLastNormal() ? batch.LastNormal() : current);
}

// Batched shaded drawing: the corners copied out with their normals (the
// points' own, or one per quad by the flat rule). Non-indexed quads, as
// immediate mode sends them: an indexed draw may split a quad along the
// other diagonal and shade it differently.
void ShadedBatched(const model::MeshObject& part, const PartGeometry& geometry, bool pointNormals) {
    QuadBatch& batch = SharedQuadBatch();
    batch.BuildCorners(geometry, pointNormals);
    if (batch.QuadCount() == 0) {
        return;
    }
    DrawSurfaceRuns(part, batch, batch.Corners(), batch.CornerNormals(), [](const SurfaceRun& run) {
        glDrawArrays(GL_QUADS, 4 * run.firstQuad, 4 * run.quadCount);
    });
}

// Batched flat drawing: indexed quads over the part's points, each quad's
// normal on its last corner, whose colour OpenGL gives the whole flat quad.
// The corners keep their order, and Mesa splits indexed quads into the same
// triangles as listed ones, so the picture is the per-quad path's.
void FlatBatched(const model::MeshObject& part, const PartGeometry& geometry) {
    QuadBatch& batch = SharedQuadBatch();
    batch.BuildFlatIndexed(geometry);
    if (batch.QuadCount() == 0) {
        return;
    }
    const GLenum indexType = batch.WideIndices() ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
    const std::size_t indexSize = batch.WideIndices() ? sizeof(std::uint32_t) : sizeof(std::uint16_t);
    const auto* indices = static_cast<const unsigned char*>(batch.FlatIndices());
    DrawSurfaceRuns(part, batch, batch.FlatPoints(), batch.PointNormals(), [&](const SurfaceRun& run) {
        glDrawElements(GL_QUADS, 4 * run.quadCount, indexType,
                       indices + 4 * indexSize * static_cast<std::size_t>(run.firstQuad));
    });
}

// The quads as outlines (wireframe or highlight): no normals, no materials.
void OutlinesPerQuad(const PartGeometry& geometry) {
    for (int i = 0; i < geometry.polygonCount; ++i) {
        const model::Polygon& polygon = geometry.polygons[i];
        if (!PolygonInRange(polygon, geometry.usablePoints)) {
            continue;
        }
        glBegin(GL_QUADS);
        Vertex(geometry.points, polygon.a);
        Vertex(geometry.points, polygon.b);
        Vertex(geometry.points, polygon.c);
        Vertex(geometry.points, polygon.d);
        glEnd();
    }
}

void OutlinesBatched(const PartGeometry& geometry) {
    QuadBatch& batch = SharedQuadBatch();
    batch.BuildIndexed(geometry);
    if (batch.QuadCount() == 0) {
        return;
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, geometry.points);
    glDrawElements(GL_QUADS, 4 * batch.QuadCount(), GL_UNSIGNED_SHORT, batch.Indices());
    glDisableClientState(GL_VERTEX_ARRAY);
}

void Outlines(const PartGeometry& geometry, DrawPath path) {
    if (path == DrawPath::PerQuad) {
        OutlinesPerQuad(geometry);
    } else {
        OutlinesBatched(geometry);
    }
}

}  // namespace

bool DrawPartSmooth(const model::MeshObject& part, const PlacedPoints& placed, float lightLevel, DrawPath path) {
    SetUpShading(kSmoothLight, lightLevel);
    PartGeometry geometry = InspectPart(part, placed);
    if (geometry.polygonCount == 0) {
        return false;
    }
    // A part without normals is lit with one normal per quad by the flat rule.
    bool pointNormals = geometry.normals != nullptr;
    if (path == DrawPath::PerQuad) {
        ShadedPerQuad(part, geometry, pointNormals);
    } else {
        ShadedBatched(part, geometry, pointNormals);
    }
    return true;
}

bool DrawPartFlat(const model::MeshObject& part, const PlacedPoints& placed, float lightLevel, DrawPath path) {
    SetUpShading(kFlatLight, lightLevel);
    PartGeometry geometry = InspectPart(part, placed);
    if (geometry.polygonCount == 0) {
        return false;
    }
    if (path == DrawPath::PerQuad) {
        ShadedPerQuad(part, geometry, false);
    } else {
        FlatBatched(part, geometry);
    }
    return true;
}

bool DrawPartWire(const model::MeshObject& part, const PlacedPoints& placed, const float colour[3], DrawPath path) {
    glDisable(GL_LIGHTING);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glColor4f(colour[0], colour[1], colour[2], drawingAlpha);
    PartGeometry geometry = InspectPart(part, placed);
    bool drawn = geometry.polygonCount > 0;
    if (drawn) {
        Outlines(geometry, path);
    }
    glEnable(GL_LIGHTING);
    return drawn;
}

void SetDrawingAlpha(float alpha) { drawingAlpha = alpha; }

bool DrawPartHighlight(const model::MeshObject& part, const PlacedPoints& placed, DrawPath path) {
    glDisable(GL_LIGHTING);
    glCullFace(GL_FRONT);
    glEnable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glColor4f(kHighlightColour[0], kHighlightColour[1], kHighlightColour[2], drawingAlpha);
    // Pulls the outline toward the viewer, in front of the part's own fill.
    glPolygonOffset(-1.0f, -1.0f);
    glEnable(GL_POLYGON_OFFSET_LINE);
    PartGeometry geometry = InspectPart(part, placed);
    bool drawn = geometry.polygonCount > 0;
    if (drawn) {
        Outlines(geometry, path);
    }
    // Also without polygons, so that the next part is drawn without culling.
    glDisable(GL_POLYGON_OFFSET_LINE);
    glEnable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    return drawn;
}

}  // namespace view
