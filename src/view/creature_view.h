// CreatureView: the OpenGL view of the figure. It reads the figure and owns
// how it is shown (its ViewState): on every paint it clears, applies the
// push-back, the z mirror and the zoom, and draws the figure in the state's
// shading mode. The mouse turns (left button) and pans (right button) the
// view's camera, never the figure.
#pragma once

#include <functional>

#include "ui/platform.h"
#include "ui/window.h"
#include "view/mesh_drawing.h"
#include "view/view_state.h"

namespace model {
class Creature;
}
namespace ui {
class MessageSink;
}

namespace view {

class CreatureView : public ui::GlViewHandler {
public:
    // Without a window system (a picture drawn headless): its messages are
    // told to `messages`.
    explicit CreatureView(ui::MessageSink& messages);
    // In the program: its own boxes are shown owned by the view's window.
    explicit CreatureView(ui::Platform& platform);

    // Invalidates the whole view without erasing; a no-op before the window exists.
    void RequestRepaint();

    bool OnCreate() override;
    bool OnGlInit(ui::GlStatus status) override;
    void OnSize(int width, int height) override;
    void OnPaint() override;
    void OnMouseButton(ui::MouseButton button, bool down, int x, int y) override;
    void OnMouseMove(int x, int y) override;
    // The wheel and a double click are told to whoever holds the zoom bar,
    // which zooms with the bar or puts the whole camera back.
    void OnMouseWheel(int notches, int x, int y) override;
    void OnDoubleClick(int x, int y) override;

    // The camera as it starts: no turn, no pan, the first zoom.
    void ResetCamera();

    // Clears and draws one frame (the paint handler's work, without the swap).
    void DrawFrame();

    // Clears the selection when it names a slot the figure has no part in:
    // a part taken out of the figure leaves the view unselected.
    void DropSelectionIfGone();

    const model::Creature* creature = nullptr;
    ViewState state;
    bool leftDragging = false;
    bool rightDragging = false;
    int leftLastX = 0;
    int leftLastY = 0;
    int rightLastX = 0;
    int rightLastY = 0;
    bool glReady = false;  // a context was set up; paints draw only then
    // Frames carry each pixel's part label (type id + 1) in the alpha, 0 for
    // the background (headless pictures with labels; a window shows alpha).
    bool labelsInAlpha = false;
    DrawPath drawPath = DrawPath::Batched;  // PerQuad draws the reference picture
    std::function<void(int notches)> wheelTurned;
    std::function<void()> resetRequested;

private:
    // The zoom and the z mirror, on top of the model-view matrix OnSize set.
    void ApplyZoom() const;
    // An OpenGL set-up failure, in a box of the view's window when there is a
    // platform, else told to the sink.
    void ReportGlFailure(const std::string& text);

    ui::MessageSink& messages_;
    ui::Platform* platform_ = nullptr;
};

}  // namespace view
