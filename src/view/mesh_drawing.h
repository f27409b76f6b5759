// Mesh drawing: turns the figure's parts into OpenGL calls in one of the
// three shading modes. Every routine sets the lights, materials and state it
// depends on, so the order of modes and parts does not matter. Called with
// the view's context current and its model-view matrix in force. The figure
// is only read: the placement goes into the view's own buffers.
#pragma once

#include <cstdint>

#include "view/placement.h"

namespace model {
class Creature;
class MeshObject;
}  // namespace model

namespace view {

struct ViewState;

// How the quads reach OpenGL. Both give the same picture: one quad per
// polygon, vertex order a, b, c, d. PerQuad is one begin/end pair per
// polygon in immediate mode, kept as the reference; Batched sends client
// side vertex arrays, one draw per surface run.
enum class DrawPath { Batched, PerQuad };

// The outline of the selected part, and its lines in wire mode.
inline constexpr float kHighlightColour[3] = {1.0f, 1.0f, 0.0f};

// The figure's drawing operations: every part placed by the state's turn
// and pan, then drawn. The shaded modes add the yellow outline to the
// selected part; wire mode draws it in yellow. With `labelsInAlpha` each
// part writes its label (type id + 1) into the alpha of every pixel it
// covers, its outline included; the colours are the same either way.
void DrawSmooth(const model::Creature& creature, const ViewState& state, DrawPath path = DrawPath::Batched,
                bool labelsInAlpha = false);
void DrawFlat(const model::Creature& creature, const ViewState& state, DrawPath path = DrawPath::Batched,
              bool labelsInAlpha = false);
void DrawWireframe(const model::Creature& creature, const ViewState& state, DrawPath path = DrawPath::Batched,
                   bool labelsInAlpha = false);

// The alpha the part routines of the calling thread write (1 unless a
// labelled drawing sets a part's label): lighting passes the material's
// alpha through, and the lines take it with their colour.
void SetDrawingAlpha(float alpha);

// One part from its placed points. Each returns false when the part has no
// polygons (after setting up its state), true otherwise.
bool DrawPartSmooth(const model::MeshObject& part, const PlacedPoints& placed, float lightLevel,
                    DrawPath path = DrawPath::Batched);
bool DrawPartFlat(const model::MeshObject& part, const PlacedPoints& placed, float lightLevel,
                  DrawPath path = DrawPath::Batched);
bool DrawPartWire(const model::MeshObject& part, const PlacedPoints& placed, const float colour[3],
                  DrawPath path = DrawPath::Batched);
bool DrawPartHighlight(const model::MeshObject& part, const PlacedPoints& placed, DrawPath path = DrawPath::Batched);
}  // namespace view
