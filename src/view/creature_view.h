// CreatureView: the OpenGL view of the figure. It owns no figure data: on
// every paint it clears, applies the push-back, the z mirror and the zoom,
// and draws the creature in its shading mode. The mouse turns (left button)
// and pans (right button) the figure through the creature's camera fields.
#pragma once

#include "ui/window.h"
#include "view/mesh_drawing.h"

namespace model {
class Creature;
}
namespace ui {
class MessageSink;
}

namespace view {

class CreatureView : public ui::GlViewHandler {
public:
    explicit CreatureView(ui::MessageSink& messages);

    // Invalidates the whole view without erasing; a no-op before the window exists.
    void RequestRepaint();

    bool OnCreate() override;
    bool OnGlInit(ui::GlStatus status) override;
    void OnSize(int width, int height) override;
    void OnPaint() override;
    void OnMouseButton(ui::MouseButton button, bool down, int x, int y) override;
    void OnMouseMove(int x, int y) override;

    // Clears and draws one frame (the paint handler's work, without the swap).
    void DrawFrame();

    model::Creature* creature = nullptr;
    bool leftDragging = false;
    bool rightDragging = false;
    int leftLastX = 0;
    int leftLastY = 0;
    int rightLastX = 0;
    int rightLastY = 0;
    float zoom = 1.1f;
    float backgroundColor[3] = {0, 0, 0};
    bool glReady = false;  // a context was set up; paints draw only then
    DrawPath drawPath = DrawPath::Batched;  // PerQuad draws the reference picture

private:
    ui::MessageSink& messages_;
};

}  // namespace view
