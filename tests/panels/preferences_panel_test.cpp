// The "Prefs" page on the in-memory platform: colour bars from the view's
// colours and back, the colours reaching the view at once, and the
// directory choosers.
#include <gtest/gtest.h>

#include <optional>

#include "panels/preferences_panel.h"
#include "resources/templates.h"
#include "ui/memory/memory_platform.h"
#include "view/creature_view.h"

namespace panels {
namespace {

using ui::memory::MemoryPlatform;
using ui::memory::MemoryWindow;

class PreferencesTest : public ::testing::Test {
protected:
    // Creates the page with the given colours and directories, as the main window does.
    MemoryWindow& Open(float background, float wire, const std::string& objects = "/lib/objects",
                       const std::string& projects = "/home/projects") {
        for (int c = 0; c < 3; ++c) {
            view.state.backgroundColor[c] = background;
            view.state.wireColor[c] = wire;
        }
        page.SetObjectDir(objects);
        page.SetProjectDir(projects);
        page.view = &view;
        host = platform.CreateTopLevel({1, "host", 400, 400, false, {}});
        auto* w = static_cast<MemoryWindow*>(
            platform.CreateChildDialog(resources::PreferencesTemplate(), page, *host, 0));
        return *w;
    }
    void TearDown() override {
        if (host) host->DetachHandlers();
    }

    MemoryPlatform platform;
    view::CreatureView view{platform};
    PreferencesPanel page{platform};
    std::unique_ptr<MemoryWindow> host;
};

TEST_F(PreferencesTest, BarsShowTheConfiguredComponentsTruncated) {
    const struct {
        float component;
        int position;
    } cases[] = {{0.8f, 204}, {1.0f, 254}, {0.5f, 127}, {0.0f, 0}, {-0.3f, 0}, {7.0f, 254}};
    for (const auto& c : cases) {
        PreferencesPanel fresh(platform);
        for (int k = 0; k < 3; ++k) view.state.backgroundColor[k] = view.state.wireColor[k] = c.component;
        fresh.view = &view;
        auto top = platform.CreateTopLevel(resources::PreferencesTemplate(), &fresh);
        for (int bar : {kIdBackgroundRedBar, kIdBackgroundBlueBar, kIdWireGreenBar}) {
            EXPECT_EQ(top->GetScrollInfo(bar).pos, c.position) << c.component;
            EXPECT_EQ(top->GetScrollInfo(bar).max, 255);
            EXPECT_EQ(top->GetScrollInfo(bar).page, 2);
        }
        top->DetachHandlers();
    }
}

TEST_F(PreferencesTest, ScrollCodesMoveByOneAndTheComponentFollowsPastTheEnds) {
    constexpr float kStep = 1.0f / 255.0f;
    struct Case {
        float start;  // configured component
        int code;
        int thumb;
        int shown;
        float component;
    };
    const Case cases[] = {
        {0.8f, ui::kScrollLineRight, 0, 205, 205 * kStep},
        {0.8f, ui::kScrollPageRight, 0, 205, 205 * kStep},
        {0.8f, ui::kScrollPageLeft, 0, 203, 203 * kStep},
        {1.0f, ui::kScrollLineRight, 0, 254, 255 * kStep},  // the bar stays at its end
        {0.0f, ui::kScrollLineLeft, 0, 0, -1 * kStep},
        {0.0f, ui::kScrollThumbTrack, 100, 100, 100 * kStep},
        {0.0f, ui::kScrollThumbPosition, 31, 31, 31 * kStep},
        {0.8f, ui::kScrollEnd, 0, 204, 204 * kStep},
        {0.8f, ui::kScrollLeft, 0, 204, 204 * kStep},
    };
    for (const Case& c : cases) {
        for (int bar : {kIdBackgroundGreenBar, kIdWireBlueBar}) {
            PreferencesPanel fresh(platform);
            for (int k = 0; k < 3; ++k) view.state.backgroundColor[k] = view.state.wireColor[k] = c.start;
            fresh.view = &view;
            auto top = platform.CreateTopLevel(resources::PreferencesTemplate(), &fresh);
            ASSERT_TRUE(top->Scroll(bar, c.code, c.thumb));
            EXPECT_EQ(top->GetScrollInfo(bar).pos, c.shown) << c.code;
            if (bar == kIdBackgroundGreenBar) {
                EXPECT_EQ(view.state.backgroundColor[1], c.component) << c.code;
                EXPECT_EQ(view.state.backgroundColor[0], c.start) << "the other components stay";
            } else {
                EXPECT_EQ(view.state.wireColor[2], c.component) << c.code;
                EXPECT_EQ(view.state.wireColor[0], c.start) << "the other components stay";
            }
            top->DetachHandlers();
        }
    }
}

TEST_F(PreferencesTest, EachBarChangesItsOwnComponentAndRepaints) {
    MemoryWindow& w = Open(0.2f, 0.4f);
    const int bars[6] = {kIdBackgroundRedBar, kIdBackgroundGreenBar, kIdBackgroundBlueBar,
                         kIdWireRedBar,       kIdWireGreenBar,       kIdWireBlueBar};
    for (int i = 0; i < 6; ++i) w.Scroll(bars[i], ui::kScrollThumbTrack, 10 * (i + 1));
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(view.state.backgroundColor[c], static_cast<float>(10 * (c + 1)) * (1.0f / 255.0f));
        EXPECT_EQ(view.state.wireColor[c], static_cast<float>(10 * (c + 4)) * (1.0f / 255.0f));
    }
}

TEST_F(PreferencesTest, DirectoryChoosersOpenAtTheValueAndKeepItWithoutTrailingSeparator) {
    const struct {
        std::optional<std::string> answer;
        std::string kept;
    } cases[] = {
        {"/data/objects", "/data/objects"},
        {"/data/objects/", "/data/objects"},
        {"/", "/"},
        {std::nullopt, "/"},  // cancelled: unchanged
    };
    MemoryWindow& w = Open(0, 0);
    for (const auto& [button, edit, value] :
         {std::tuple{kIdObjectDirButton, kIdObjectDirEdit, &page.objectDir},
          std::tuple{kIdProjectDirButton, kIdProjectDirEdit, &page.projectDir}}) {
        for (const auto& c : cases) {
            const std::string before = *value;
            platform.directoryAnswers.push_back(c.answer);
            ASSERT_TRUE(w.Click(button));
            EXPECT_EQ(platform.directoryRequests.back(), before);
            EXPECT_EQ(*value, c.kept);
            EXPECT_EQ(w.Text(edit), c.kept);
        }
    }
}

TEST_F(PreferencesTest, LeavingTheObjectDirectoryDropsOneTrailingSeparator) {
    const struct {
        std::string dir;
        std::string kept;
    } cases[] = {{"/lib/objects/", "/lib/objects"}, {"/lib//", "/lib/"}, {"C:\\lib\\", "C:\\lib"},
                 {"/", "/"},                        {"", ""},             {std::string(300, 'a') + "/", std::string(300, 'a')}};
    for (const auto& c : cases) {
        PreferencesPanel fresh(platform);
        fresh.SetObjectDir(c.dir);
        fresh.SetProjectDir("/p/");
        auto top = platform.CreateTopLevel(resources::PreferencesTemplate(), &fresh);
        ASSERT_TRUE(top->LoseFocus(kIdObjectDirEdit));
        EXPECT_EQ(fresh.objectDir, c.kept);
        ASSERT_TRUE(top->LoseFocus(kIdProjectDirEdit));
        EXPECT_EQ(fresh.projectDir, "/p/");  // the project edit has no such rule
        top->DetachHandlers();
    }
}

}  // namespace
}  // namespace panels
