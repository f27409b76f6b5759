// The view as a window of the in-memory platform: creation, the OpenGL
// error boxes, the mouse's camera steps and repaint requests, and the
// matrices a size message leaves.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "resources/templates.h"
#include "test_figures.h"
#include "ui/memory/memory_platform.h"
#include "view/gl_headers.h"

namespace viewtest {
namespace {

using ui::MouseButton;

struct WindowRig {
    explicit WindowRig(bool withGl = false, ui::GlStatus status = ui::GlStatus::Ok) {
        platform.glAvailable = withGl;
        platform.glStatusToReport = status;
        parent = platform.CreateTopLevel(ui::DialogTemplate{1, "Main", 600, 400, false, {}});
        window = dynamic_cast<ui::memory::MemoryWindow*>(
            platform.CreateGlView(resources::ViewTemplate(), view, *parent));
        view.creature = &creature;
    }

    ui::memory::MemoryPlatform platform;
    std::unique_ptr<ui::memory::MemoryWindow> parent;
    model::Creature creature{platform};
    view::CreatureView view{platform};
    ui::memory::MemoryWindow* window = nullptr;
};

TEST(CreatureViewWindow, CreationResetsTheViewAndAFailedSetupShowsTheBox) {
    {
        ui::memory::MemoryPlatform platform;
        auto parent = platform.CreateTopLevel(ui::DialogTemplate{1, "Main", 600, 400, false, {}});
        model::Creature creature(platform);
        view::CreatureView view(platform);
        view.creature = &creature;
        view.state.zoom = 3;
        view.rightDragging = true;
        view.state.backgroundColor[2] = 1;
        ASSERT_NE(platform.CreateGlView(resources::ViewTemplate(), view, *parent), nullptr);
        EXPECT_EQ(view.creature, nullptr);
        EXPECT_FLOAT_EQ(view.state.zoom, 1.1f);
        EXPECT_FALSE(view.leftDragging);
        EXPECT_FALSE(view.rightDragging);
        EXPECT_EQ(view.state.backgroundColor[2], 0.0f);
        EXPECT_TRUE(platform.messages.empty());
    }
    const struct {
        ui::GlStatus status;
        const char* text;
    } failures[] = {
        {ui::GlStatus::PixelFormatFailed, "Unable to Setup PixelFormat, Please install a new OpenGL driver."},
        {ui::GlStatus::ContextFailed, "Unable to Setup OpenGL, Please install a new OpenGL driver."},
    };
    for (const auto& failure : failures) {
        WindowRig rig(false, failure.status);
        ASSERT_NE(rig.window, nullptr);
        ASSERT_EQ(rig.platform.messages.size(), 1u);
        const auto& box = rig.platform.messages[0];
        EXPECT_EQ(box.text, failure.text);
        EXPECT_EQ(box.caption, "OpenGL Error");
        EXPECT_EQ(box.icon, ui::Icon::Exclamation);
        EXPECT_EQ(box.owner, rig.window);
        EXPECT_FALSE(rig.view.glReady);
        // No context: a paint draws nothing (and makes no GL call).
        EXPECT_FALSE(rig.window->Paint());
        rig.view.DrawFrame();
    }
}

TEST(CreatureViewWindow, LeftDragTurnsRightDragPans) {
    WindowRig rig;
    model::MeshObject* part = AddPart(rig.creature, MakeSquare(0, 0, 0.1f, true, {1, 1, 1}));
    const std::vector<float> points = part->points;

    ASSERT_TRUE(rig.window->MouseButton(MouseButton::Left, true, 100, 100));
    EXPECT_TRUE(rig.view.leftDragging);
    rig.window->MouseMove(90, 120);  // left and down
    EXPECT_FLOAT_EQ(rig.view.state.pitch, -20.0f * 0.005f);
    EXPECT_FLOAT_EQ(rig.view.state.yaw, 10.0f * 0.005f);
    EXPECT_EQ(rig.window->invalidateCount, 1);
    rig.window->MouseMove(95, 110);
    EXPECT_FLOAT_EQ(rig.view.state.pitch, -20.0f * 0.005f + 10.0f * 0.005f);
    EXPECT_FLOAT_EQ(rig.view.state.yaw, 10.0f * 0.005f - 5.0f * 0.005f);
    EXPECT_EQ(rig.view.leftLastX, 95);
    EXPECT_EQ(rig.view.leftLastY, 110);
    EXPECT_EQ(rig.view.state.panX, 0.0f);
    rig.window->MouseButton(MouseButton::Left, false, 95, 110);
    EXPECT_FALSE(rig.view.leftDragging);

    rig.window->invalidateCount = 0;
    ASSERT_TRUE(rig.window->MouseButton(MouseButton::Right, true, 200, 200));
    rig.window->MouseMove(210, 190);  // right and up
    EXPECT_FLOAT_EQ(rig.view.state.panX, 10.0f * 0.002f);
    EXPECT_FLOAT_EQ(rig.view.state.panY, 10.0f * 0.002f);
    EXPECT_EQ(part->points, points) << "the figure itself is neither turned nor moved";
    EXPECT_EQ(rig.window->invalidateCount, 1);
    EXPECT_FLOAT_EQ(rig.view.state.pitch, -0.05f) << "no rotation while only the right button is held";
    EXPECT_EQ(rig.view.rightLastX, 210);
    EXPECT_EQ(rig.view.rightLastY, 190);
}

TEST(CreatureViewWindow, BothButtonsStepTwiceAMoveWithoutButtonsNothing) {
    WindowRig rig;
    rig.window->MouseMove(50, 60);
    EXPECT_EQ(rig.window->invalidateCount, 0);
    EXPECT_EQ(rig.view.state.pitch, 0.0f);
    EXPECT_EQ(rig.view.state.yaw, 0.0f);
    EXPECT_EQ(rig.view.state.panX, 0.0f);

    rig.window->MouseButton(MouseButton::Left, true, 50, 60);
    rig.window->MouseButton(MouseButton::Right, true, 50, 60);
    rig.window->MouseMove(60, 50);
    EXPECT_EQ(rig.window->invalidateCount, 2);
    EXPECT_FLOAT_EQ(rig.view.state.pitch, 10.0f * 0.005f);
    EXPECT_FLOAT_EQ(rig.view.state.yaw, -10.0f * 0.005f);
    EXPECT_FLOAT_EQ(rig.view.state.panX, 10.0f * 0.002f);
    EXPECT_FLOAT_EQ(rig.view.state.panY, 10.0f * 0.002f);

    // Without a creature a drag turns nothing and asks for no repaint.
    rig.view.creature = nullptr;
    rig.window->MouseMove(70, 40);
    EXPECT_EQ(rig.window->invalidateCount, 2);
}

TEST(CreatureViewWindow, AButtonReleasedOutsideKeepsDragging) {
    WindowRig rig;
    rig.window->MouseButton(MouseButton::Left, true, 10, 10);
    EXPECT_FALSE(rig.window->MouseButton(MouseButton::Left, false, -5, 700)) << "not delivered";
    EXPECT_TRUE(rig.view.leftDragging);
    rig.window->MouseMove(10, 0);
    EXPECT_FLOAT_EQ(rig.view.state.pitch, 10.0f * 0.005f);
    EXPECT_EQ(rig.window->invalidateCount, 1);
    rig.window->MouseButton(MouseButton::Left, true, 10, 0);
    rig.window->MouseButton(MouseButton::Left, false, 10, 0);
    rig.window->MouseMove(0, 0);
    EXPECT_FALSE(rig.view.leftDragging);
    EXPECT_EQ(rig.window->invalidateCount, 1);
}

TEST(CreatureViewWindow, SizeSetsViewportProjectionAndOnePushBack) {
    testgl::OsMesaContext gl(ViewWidth(), ViewHeight());
    ASSERT_TRUE(gl.IsCurrent());
    WindowRig rig(true);
    ASSERT_TRUE(rig.view.glReady);
    EXPECT_TRUE(rig.platform.messages.empty());
    GLint value = 0;
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], ViewWidth());
    EXPECT_EQ(viewport[3], ViewHeight());

    double projection[16] = {};
    rig.view.OnSize(400, 200);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5] / projection[0], 2.0, 1e-6);  // GL keeps floats
    EXPECT_NEAR(projection[5], 1.0 / std::tan(22.5 * std::acos(-1.0) / 180.0), 1e-6);
    // The window grown by the user: viewport and aspect follow it, so the
    // figure keeps its proportions at any size.
    rig.window->Resize(1100, 440);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    EXPECT_EQ(viewport[2], 1100);
    EXPECT_EQ(viewport[3], 440);
    EXPECT_NEAR(projection[5] / projection[0], 2.5, 1e-6);
    // Height 0 divides by nothing: the aspect is the width.
    rig.view.OnSize(300, 0);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5] / projection[0], 300.0, 1e-3);

    // However many size messages came, the figure sits half a unit away.
    rig.view.OnSize(ViewWidth(), ViewHeight());
    double modelView[16] = {};
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    EXPECT_DOUBLE_EQ(modelView[14], -0.5);
    EXPECT_DOUBLE_EQ(modelView[0], 1.0);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    // A paint clears to the background colour and leaves the matrix as it was.
    rig.view.state.backgroundColor[0] = 1;
    AddPart(rig.creature, MakeSquare(0, 0, 0.05f, true, {1, 1, 1}));
    EXPECT_TRUE(rig.window->Paint());
    EXPECT_EQ(gl.PixelAt(0, 0), (testgl::Pixel{255, 0, 0, 255}));
    EXPECT_NE(gl.PixelAt(ViewWidth() / 2, ViewHeight() / 2), (testgl::Pixel{255, 0, 0, 255}));
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    EXPECT_DOUBLE_EQ(modelView[14], -0.5);
    EXPECT_DOUBLE_EQ(modelView[10], 1.0);
}

}  // namespace
}  // namespace viewtest
