// The creature's three drawing operations: every part takes the figure's
// camera angles, is transformed in software and is drawn in the mode's style.
#include "model/creature.h"
#include "view/mesh_drawing.h"

namespace view {
namespace {

enum class Mode { Smooth, Flat, Wireframe };

void DrawParts(model::Creature& creature, Mode mode, DrawPath path) {
    for (model::MeshObject& each : creature.parts) {
        model::MeshObject* part = &each;
        part->yaw = creature.yaw;
        part->pitch = creature.pitch;
        part->UpdatePlacement();
        part->TransformPoints();
        switch (mode) {
            case Mode::Smooth:
                DrawPartSmooth(*part, creature.lightLevel, path);
                if (part->selected == 1) {
                    DrawPartHighlight(*part, path);
                }
                break;
            case Mode::Flat:
                DrawPartFlat(*part, creature.lightLevel, path);
                if (part->selected == 1) {
                    DrawPartHighlight(*part, path);
                }
                break;
            case Mode::Wireframe:
                part->wireColor[0] = creature.wireColor[0];
                part->wireColor[1] = creature.wireColor[1];
                part->wireColor[2] = creature.wireColor[2];
                DrawPartWire(*part, path);
                break;
        }
    }
}

}  // namespace

void DrawSmooth(model::Creature& creature, DrawPath path) { DrawParts(creature, Mode::Smooth, path); }

void DrawFlat(model::Creature& creature, DrawPath path) { DrawParts(creature, Mode::Flat, path); }

void DrawWireframe(model::Creature& creature, DrawPath path) {
    DrawParts(creature, Mode::Wireframe, path);
}

}  // namespace view
