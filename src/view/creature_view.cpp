#include "view/creature_view.h"

#include <cstdint>

#include "model/creature.h"
#include "ui/message_sink.h"
#include "view/gl_headers.h"

namespace view {
namespace {

constexpr float kRotationPerPixel = 0.005f;  // radians
constexpr float kPanPerPixel = 0.002f;       // model units, before the zoom
constexpr float kStartZoom = 1.1f;

// The pixel difference as a float; widened first so that no pair of
// coordinates can overflow the subtraction.
float PixelDelta(int from, int to) {
    return static_cast<float>(static_cast<std::int64_t>(from) - static_cast<std::int64_t>(to));
}

}  // namespace

CreatureView::CreatureView(ui::MessageSink& messages) : messages_(messages) {}

CreatureView::CreatureView(ui::Platform& platform) : messages_(platform), platform_(&platform) {}

void CreatureView::ReportGlFailure(const std::string& text) {
    if (platform_ != nullptr) {
        platform_->ShowMessage(text, "OpenGL Error", ui::Icon::Exclamation, window);
    } else {
        messages_.Report({ui::Severity::kError, "OpenGL Error", text, ""});
    }
}

void CreatureView::RequestRepaint() {
    if (window != nullptr) {
        window->Invalidate();
    }
}

bool CreatureView::OnCreate() {
    // The main window hands over the creature and its colour once the window exists.
    creature = nullptr;
    leftDragging = false;
    rightDragging = false;
    state.zoom = kStartZoom;
    state.backgroundColor[0] = state.backgroundColor[1] = state.backgroundColor[2] = 0.0f;
    return true;
}

bool CreatureView::OnGlInit(ui::GlStatus status) {
    glReady = false;
    switch (status) {
        case ui::GlStatus::PixelFormatFailed:
            ReportGlFailure("Unable to Setup PixelFormat, Please install a new OpenGL driver.");
            return false;
        case ui::GlStatus::ContextFailed:
            ReportGlFailure("Unable to Setup OpenGL, Please install a new OpenGL driver.");
            return false;
        case ui::GlStatus::Ok:
            break;
    }
    glPolygonMode(GL_FRONT, GL_FILL);
    glPolygonMode(GL_BACK, GL_FILL);
    glShadeModel(GL_SMOOTH);
    glReady = true;
    return true;
}

void CreatureView::OnSize(int width, int height) {
    if (!glReady) {
        return;
    }
    // Start from the identity: a second size message must not push the
    // figure another half unit away.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -0.5f);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    double aspect = height == 0 ? static_cast<double>(width)
                                : static_cast<double>(width) / static_cast<double>(height);
    gluPerspective(45.0, aspect, 0.02, 400.0);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
}

void CreatureView::OnPaint() { DrawFrame(); }

void CreatureView::DropSelectionIfGone() {
    if (creature == nullptr || creature->PartOfPanel(state.selectedPanel) == nullptr) state.selectedPanel = -1;
}

void CreatureView::DrawFrame() {
    if (!glReady) {
        return;
    }
    glClearColor(state.backgroundColor[0], state.backgroundColor[1], state.backgroundColor[2],
                 labelsInAlpha ? 0.0f : 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (creature == nullptr) {
        return;
    }
    glPushMatrix();
    ApplyZoom();
    switch (state.drawMode) {
        case kDrawSmooth:
            DrawSmooth(*creature, state, drawPath, labelsInAlpha);
            break;
        case kDrawFlat:
            DrawFlat(*creature, state, drawPath, labelsInAlpha);
            break;
        case kDrawWireframe:
            DrawWireframe(*creature, state, drawPath, labelsInAlpha);
            break;
        default:
            break;
    }
    glPopMatrix();
}

void CreatureView::ApplyZoom() const {
    // The negative z scale mirrors the model's z axis.
    glScalef(state.zoom, state.zoom, -state.zoom);
}

void CreatureView::OnMouseButton(ui::MouseButton button, bool down, int x, int y) {
    if (button == ui::MouseButton::Left) {
        leftDragging = down;
        if (down) {
            leftLastX = x;
            leftLastY = y;
        }
    } else {
        rightDragging = down;
        if (down) {
            rightLastX = x;
            rightLastY = y;
        }
    }
}

void CreatureView::OnMouseMove(int x, int y) {
    // Without a figure there is nothing to turn or move; the cursor is still
    // followed, so that a figure set later does not jump.
    if (leftDragging) {
        if (creature != nullptr) {
            state.pitch += PixelDelta(leftLastY, y) * kRotationPerPixel;
            state.yaw += PixelDelta(leftLastX, x) * kRotationPerPixel;
            RequestRepaint();
        }
        leftLastX = x;
        leftLastY = y;
    }
    if (rightDragging) {
        if (creature != nullptr) {
            state.panX -= PixelDelta(rightLastX, x) * kPanPerPixel;
            state.panY += PixelDelta(rightLastY, y) * kPanPerPixel;
            RequestRepaint();
        }
        rightLastX = x;
        rightLastY = y;
    }
}

void CreatureView::OnMouseWheel(int notches, int /*x*/, int /*y*/) {
    if (wheelTurned) wheelTurned(notches);
}

void CreatureView::OnDoubleClick(int /*x*/, int /*y*/) {
    if (resetRequested) resetRequested();
}

void CreatureView::ResetCamera() {
    const ViewState start;
    state.yaw = start.yaw;
    state.pitch = start.pitch;
    state.panX = start.panX;
    state.panY = start.panY;
    state.zoom = start.zoom;
    RequestRepaint();
}

}  // namespace view
