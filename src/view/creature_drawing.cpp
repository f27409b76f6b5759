// The figure's three drawing operations: every part is placed by the view's
// turn and pan in software and drawn in the mode's style.
#include "model/creature.h"
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

}  // namespace view
