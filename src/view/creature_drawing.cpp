// The figure's three drawing operations: every part is placed by the view's
// turn and pan in software and drawn in the mode's style, its label in the
// alpha when asked for.
#include <algorithm>

#include "model/creature.h"
#include "view/mesh_drawing.h"
#include "view/view_state.h"

namespace view {
namespace {

enum class Mode { Smooth, Flat, Wireframe };

// The label a part is drawn in: its type id + 1, so that 0 is the background.
std::uint8_t LabelOf(const model::MeshObject& part) {
    return static_cast<std::uint8_t>(std::clamp(part.typeId + 1, 0, 255));
}

void DrawParts(const model::Creature& creature, const ViewState& state, Mode mode, DrawPath path, bool labelsInAlpha) {
    const Placement placement = PlacementOf(state);
    const model::MeshObject* selected = creature.PartOfPanel(state.selectedPanel);
    PlacedPoints& placed = SharedPlacedPoints();
    for (const model::MeshObject& part : creature.parts) {
        PlacePoints(part, placement, placed);
        if (labelsInAlpha) SetDrawingAlpha(static_cast<float>(LabelOf(part)) / 255.0f);
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
    SetDrawingAlpha(1.0f);
}

}  // namespace

void DrawSmooth(const model::Creature& creature, const ViewState& state, DrawPath path, bool labelsInAlpha) {
    DrawParts(creature, state, Mode::Smooth, path, labelsInAlpha);
}

void DrawFlat(const model::Creature& creature, const ViewState& state, DrawPath path, bool labelsInAlpha) {
    DrawParts(creature, state, Mode::Flat, path, labelsInAlpha);
}

void DrawWireframe(const model::Creature& creature, const ViewState& state, DrawPath path, bool labelsInAlpha) {
    DrawParts(creature, state, Mode::Wireframe, path, labelsInAlpha);
}

}  // namespace view
