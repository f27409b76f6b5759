// The in-memory platform keeps control state as a toolkit does: radio
// groups, scroll clamping, sorted lists; and a modal run ends and cleans up
// as the real one.
#include <gtest/gtest.h>

#include "ui/memory/memory_platform.h"

namespace ui::memory {
namespace {

struct Recorder : WindowHandler {
    void OnCommand(int id, int code) override { commands.push_back({id, code}); }
    std::vector<std::pair<int, int>> commands;
};

DialogTemplate Controls() {
    return DialogTemplate{
        7, "Test", 200, 100, false,
        {
            {1, ControlKind::DefaultPushButton, "OK", {0, 0, 50, 14}},
            {10, ControlKind::AutoRadioButton, "A", {0, 20, 30, 9}, kStyleGroup},
            {11, ControlKind::AutoRadioButton, "B", {0, 30, 30, 9}},
            {12, ControlKind::AutoRadioButton, "C", {0, 40, 30, 9}, kStyleGroup},  // a group of its own
            {20, ControlKind::RadioPushButton, "None", {40, 20, 30, 9}, kStyleGroup},
            {21, ControlKind::AutoCheckBox, "Check", {40, 30, 30, 9}, kStyleGroup},
            {30, ControlKind::HScrollBar, "", {0, 50, 100, 12}},
            {40, ControlKind::DropDownList, "", {0, 70, 100, 80}, kStyleSorted},
            {50, ControlKind::Edit, "", {0, 85, 50, 12}, kStyleReadOnly},
        },
    };
}

TEST(MemoryPlatform, RadioGroupsCheckBoxesAndRadioPushButtons) {
    MemoryPlatform platform;
    Recorder handler;
    auto w = platform.CreateTopLevel(Controls(), &handler);
    w->SetCheck(10, true);
    w->SetCheck(12, true);
    EXPECT_TRUE(w->Click(11));
    EXPECT_FALSE(w->IsChecked(10));  // same group
    EXPECT_TRUE(w->IsChecked(11));
    EXPECT_TRUE(w->IsChecked(12));  // next group
    EXPECT_TRUE(w->Click(11));
    EXPECT_TRUE(w->IsChecked(11));  // a second click keeps the check

    EXPECT_TRUE(w->Click(20));
    EXPECT_FALSE(w->IsChecked(20));  // only the handler checks it
    w->Click(21);
    EXPECT_TRUE(w->IsChecked(21));
    w->Click(21);
    EXPECT_FALSE(w->IsChecked(21));

    // A disabled control cannot be clicked, and nothing is sent.
    w->Enable(10, false);
    EXPECT_FALSE(w->Click(10));
    ASSERT_EQ(handler.commands.size(), 5u);
    EXPECT_EQ(handler.commands[0], (std::pair<int, int>{11, kNotifyClicked}));

    // A read-only edit takes no typing.
    EXPECT_FALSE(w->TypeText(50, "typed"));
    w->SetReadOnly(50, false);
    EXPECT_TRUE(w->TypeText(50, std::string(300, 'x')));
    EXPECT_EQ(w->Text(50).size(), 255u);
}

TEST(MemoryPlatform, ScrollPositionIsClampedByRangeAndPage) {
    MemoryPlatform platform;
    auto w = platform.CreateTopLevel(Controls());
    w->SetScrollInfo(30, ScrollInfo{0, 255, 2, 255, 0});
    EXPECT_EQ(w->GetScrollInfo(30).pos, 254);
    w->SetScrollPos(30, -3);
    EXPECT_EQ(w->GetScrollInfo(30).pos, 0);
    w->SetScrollInfo(30, ScrollInfo{-50, 50, 0, 80, 0});  // no page: the whole range
    EXPECT_EQ(w->GetScrollInfo(30).pos, 50);
    w->SetScrollRange(30, 0, 10);
    EXPECT_EQ(w->GetScrollInfo(30).pos, 10);
    // A scroll message leaves the bar where it is; the thumb's place is kept.
    w->Scroll(30, kScrollThumbTrack, 4);
    EXPECT_EQ(w->GetScrollInfo(30).pos, 10);
    EXPECT_EQ(w->GetScrollInfo(30).trackPos, 4);
}

TEST(MemoryPlatform, SortedListIgnoresCaseAndKeepsItsSelection) {
    MemoryPlatform platform;
    auto w = platform.CreateTopLevel(Controls());
    EXPECT_EQ(w->AddEntry(40, " (none) "), 0);
    w->SetSelection(40, 0);
    w->AddEntry(40, "beta");
    w->AddEntry(40, "Alpha");
    w->AddEntry(40, "ALPHA2");
    ASSERT_EQ(w->EntryCount(40), 4);
    EXPECT_EQ(w->EntryText(40, 1), "Alpha");
    EXPECT_EQ(w->EntryText(40, 2), "ALPHA2");
    EXPECT_EQ(w->EntryText(40, 3), "beta");
    EXPECT_EQ(w->Selection(40), 0);
    w->SetSelection(40, 3);
    EXPECT_EQ(w->Text(40), "beta");  // a list's text is its selected entry
    w->SetSelection(40, 9);
    EXPECT_EQ(w->Selection(40), -1);
    EXPECT_EQ(w->Text(40), "");
}

TEST(MemoryPlatform, ModalRunEndsAndForgetsItsHandlers) {
    MemoryPlatform platform;
    Recorder handler;
    platform.modalScript = [&](MemoryWindow& w) {
        EXPECT_EQ(platform.lastModal, &w);
        EXPECT_TRUE(w.Click(kIdOk));
        EXPECT_FALSE(w.Click(kIdOk));  // the run is over
    };
    EXPECT_EQ(platform.RunModal(Controls(), handler, nullptr), kIdOk);
    EXPECT_EQ(handler.window, nullptr);
    EXPECT_EQ(handler.commands.size(), 1u);

    // Nested runs take queued scripts; without one a nested run ends as by the close box.
    Recorder inner;
    platform.modalScript = [&](MemoryWindow&) {
        EXPECT_EQ(platform.RunModal(Controls(), inner, nullptr), kIdCancel);
        platform.modalScripts.push_back([](MemoryWindow& w) { w.Click(kIdOk); });
        EXPECT_EQ(platform.RunModal(Controls(), inner, nullptr), kIdOk);
    };
    EXPECT_EQ(platform.RunModal(Controls(), handler, nullptr), kIdCancel);
    EXPECT_EQ(platform.modalRuns, 4);
}

struct ViewRecorder : GlViewHandler {
    bool OnGlInit(GlStatus status) override {
        log.push_back("init " + std::to_string(static_cast<int>(status)));
        return status == GlStatus::Ok;
    }
    void OnSize(int w, int h) override { log.push_back("size " + std::to_string(w) + "x" + std::to_string(h)); }
    void OnPaint() override { log.push_back("paint"); }
    void OnMouseButton(MouseButton, bool down, int x, int y) override {
        log.push_back(std::string(down ? "down " : "up ") + std::to_string(x) + "," + std::to_string(y));
    }
    void OnMouseMove(int x, int y) override { log.push_back("move " + std::to_string(x) + "," + std::to_string(y)); }
    std::vector<std::string> log;
};

TEST(MemoryPlatform, GlViewFollowsTheContextItWasGiven) {
    const DialogTemplate viewTemplate{103, "", 365, 343, true, {}};
    MemoryPlatform platform;
    auto host = platform.CreateTopLevel(Controls());

    ViewRecorder without;  // no context: created, never initialised, never painted
    auto* view = static_cast<MemoryWindow*>(platform.CreateGlView(viewTemplate, without, *host));
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->IsVisible());
    view->Invalidate();
    EXPECT_TRUE(view->PaintPending());
    EXPECT_FALSE(view->Paint());
    EXPECT_FALSE(view->PaintPending());
    EXPECT_TRUE(without.log.empty());

    platform.glAvailable = true;
    ViewRecorder with;
    view = static_cast<MemoryWindow*>(platform.CreateGlView(viewTemplate, with, *host));
    EXPECT_TRUE(view->Paint());
    // Inside the client area only: the view does not capture the mouse.
    EXPECT_TRUE(view->MouseButton(MouseButton::Left, true, 10, 20));
    EXPECT_FALSE(view->MouseButton(MouseButton::Left, false, 547, 20));
    EXPECT_FALSE(view->MouseMove(-1, 5));
    EXPECT_EQ(with.log, (std::vector<std::string>{"init 0", "size 547x557", "paint", "down 10,20"}));

    platform.glStatusToReport = GlStatus::ContextFailed;
    ViewRecorder failed;
    view = static_cast<MemoryWindow*>(platform.CreateGlView(viewTemplate, failed, *host));
    EXPECT_FALSE(view->Paint());
    EXPECT_EQ(failed.log, (std::vector<std::string>{"init 2"}));
    EXPECT_EQ(host->Children().size(), 3u);
    host->DetachHandlers();
    EXPECT_EQ(with.window, nullptr);
}

}  // namespace
}  // namespace ui::memory
