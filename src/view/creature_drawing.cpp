// The figure's three drawing operations and its label drawing: every part is
// placed by the view's turn and pan in software and drawn in the mode's style.
#include <algorithm>

#include "model/creature.h"
#include "view/gl_headers.h"
#include "view/mesh_drawing.h"
#include "view/view_state.h"

namespace view {
namespace {

enum class Mode { Smooth, Flat, Wireframe };

void DrawParts(const model::Creature& creature, const ViewState& state, Mode mode, DrawPath path) {
    const Placement placement = PlacementOf(state);
    const model::MeshObject* selected = creature.PartOfPanel(state.selectedPanel);
    PlacedPoints& placed = SharedPlacedPoints();
    for (const model::MeshObject& part : creature.parts) {
        PlacePoints(part, placement, placed);
        switch (mode) {
            case Mode::Smooth:
                DrawPartSmooth(part, placed, state.lightLevel, path);
                if (&part == selected) DrawPartHighlight(part, placed, path);
                break;
            case Mode::Flat:
                DrawPartFlat(part, placed, state.lightLevel, path);
                if (&part == selected) DrawPartHighlight(part, placed, path);
                break;
            case Mode::Wireframe:
                DrawPartWire(part, placed, &part == selected ? kHighlightColour : state.wireColor, path);
                break;
        }
    }
}

// The label a part is drawn in: its type id + 1, so that 0 is the background.
std::uint8_t LabelOf(const model::MeshObject& part) {
    return static_cast<std::uint8_t>(std::clamp(part.typeId + 1, 0, 255));
}

}  // namespace

void DrawSmooth(const model::Creature& creature, const ViewState& state, DrawPath path) {
    DrawParts(creature, state, Mode::Smooth, path);
}

void DrawFlat(const model::Creature& creature, const ViewState& state, DrawPath path) {
    DrawParts(creature, state, Mode::Flat, path);
}

void DrawWireframe(const model::Creature& creature, const ViewState& state, DrawPath path) {
    DrawParts(creature, state, Mode::Wireframe, path);
}

void DrawLabels(const model::Creature& creature, const ViewState& state, DrawPath path) {
    if (state.drawMode != kDrawSmooth && state.drawMode != kDrawFlat && state.drawMode != kDrawWireframe) {
        return;
    }
    // Every value written must be the label itself: no light, no blending,
    // no dithering, one colour a primitive, and none of the highlight's
    // culling or offset. The state is given back as it was found, so a
    // picture drawn after the labels is drawn as without them.
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT | GL_COLOR_BUFFER_BIT | GL_POLYGON_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_DITHER);
    glDisable(GL_CULL_FACE);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_POLYGON_OFFSET_LINE);
    glDisable(GL_FOG);
    glDisable(GL_TEXTURE_2D);
    glShadeModel(GL_FLAT);
    const Placement placement = PlacementOf(state);
    PlacedPoints& placed = SharedPlacedPoints();
    for (const model::MeshObject& part : creature.parts) {
        PlacePoints(part, placement, placed);
        DrawPartLabel(part, placed, LabelOf(part), state.drawMode, path);
    }
    glPopAttrib();
}

}  // namespace view
