// ViewState: how the view shows the figure, kept apart from the figure
// itself: the camera (turn, pan, zoom), the light, the shading mode, the
// background and wire colours and the part outlined as selected. A picture
// of a figure is the figure plus one of these.
#pragma once

#include <cstdint>

namespace view {

enum DrawMode : std::int32_t { kDrawSmooth = 0, kDrawFlat = 1, kDrawWireframe = 2 };

struct ViewState {
    float yaw = 0;    // radians, turned by dragging sideways
    float pitch = 0;  // radians, tilted by dragging up and down
    float panX = 0;   // model units, moved by the right button
    float panY = 0;
    float zoom = 1.1f;
    float lightLevel = 0.5f;
    std::int32_t drawMode = kDrawSmooth;  // any other value draws nothing
    float backgroundColor[3] = {0, 0, 0};
    float wireColor[3] = {0.8f, 0.8f, 0.8f};
    // The panel index (0 … 21) of the part drawn outlined in yellow; -1 none.
    std::int32_t selectedPanel = -1;
};

}  // namespace view
