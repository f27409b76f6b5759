// Mesh drawing: turns the creature's parts into OpenGL calls in one of the
// three shading modes. Every routine sets the lights, materials and state it
// depends on, so the order of modes and parts does not matter. Called with
// the view's context current and its model-view matrix in force.
#pragma once

namespace model {
class Creature;
class MeshObject;
}  // namespace model

namespace view {

// How the quads reach OpenGL. Both give the same picture: one quad per
// polygon, vertex order a, b, c, d. PerQuad is one begin/end pair per
// polygon in immediate mode, kept as the reference; Batched sends client
// side vertex arrays, one draw per surface run.
enum class DrawPath { Batched, PerQuad };

// The creature's drawing operations: bring every part's placement and
// transformed points up to date from the creature's camera, then draw it.
// The shaded modes add the yellow outline to the selected part.
void DrawSmooth(model::Creature& creature, DrawPath path = DrawPath::Batched);
void DrawFlat(model::Creature& creature, DrawPath path = DrawPath::Batched);
void DrawWireframe(model::Creature& creature, DrawPath path = DrawPath::Batched);

// One part from its transformed arrays. Each returns false when the part has
// no polygons (after setting up its state), true otherwise.
bool DrawPartSmooth(model::MeshObject& part, float lightLevel, DrawPath path = DrawPath::Batched);
bool DrawPartFlat(model::MeshObject& part, float lightLevel, DrawPath path = DrawPath::Batched);
bool DrawPartWire(model::MeshObject& part, DrawPath path = DrawPath::Batched);
bool DrawPartHighlight(model::MeshObject& part, DrawPath path = DrawPath::Batched);

}  // namespace view
