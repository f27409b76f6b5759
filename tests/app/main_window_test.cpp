// The main window on the in-memory platform: start-up in its order, the
// configuration written at every way of closing, and the whole-figure
// controls (shading, zoom bar, tabs, clear and random figure).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <utility>
#include <random>
#include <vector>
#include <fstream>
#include <sstream>

#include "../panels/temp_dir.h"
#include "../support/file_size_limit.h"
#include "../panels/tiny_library.h"
#include "app/application.h"
#include "app/main_window.h"
#include "model/creature.h"
#include "panels/part_parameter_panel.h"
#include "panels/part_selection_panel.h"
#include "panels/project_panel.h"
#include "panels/preferences_panel.h"
#include "resources/templates.h"
#include "ui/memory/memory_platform.h"
#include "view/creature_view.h"

namespace app {
namespace {

using namespace resources;
using ui::memory::MemoryPlatform;
using ui::memory::MemoryWindow;

using testlib::ReadAll;

MemoryWindow* ChildWithTemplate(MemoryWindow& w, int templateId) {
    for (auto* child : w.Children()) {
        if (child->TemplateId() == templateId) return child;
    }
    return nullptr;
}

class MainWindowTest : public testlib::TempDirTest {
protected:
    // The user's own settings are never read or written by a test: HOME and
    // XDG_CONFIG_HOME point into the test's folder.
    void SetUp() override {
        TempDirTest::SetUp();
        for (auto& [name, old] : savedEnvironment) {
            const char* value = std::getenv(name);
            old = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
        }
        ::setenv("HOME", (dir / "home").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (dir / "xdg").c_str(), 1);
    }
    void TearDown() override {
        for (const auto& [name, old] : savedEnvironment) {
            if (old) ::setenv(name, old->c_str(), 1);
            else ::unsetenv(name);
        }
        TempDirTest::TearDown();
    }
    std::pair<const char*, std::optional<std::string>> savedEnvironment[2] = {{"HOME", {}}, {"XDG_CONFIG_HOME", {}}};

    void WriteConfigText(const std::string& text) { std::ofstream(dir / "mw.cfg", std::ios::binary) << text; }

    // Runs the main window with `script` during its modal run.
    template <typename Script>
    void Run(Script script) {
        MainWindow mainWindow(platform);
        platform.modalScript = [&](MemoryWindow& w) { script(mainWindow, w); };
        mainWindow.Run();
        // The windows are gone: nothing may still point at them.
        EXPECT_EQ(mainWindow.viewWindow, nullptr);
        EXPECT_EQ(mainWindow.view->window, nullptr);
        EXPECT_EQ(mainWindow.partSelectionPanel->window, nullptr);
        mainWindow.view->RequestRepaint();
    }

    MemoryPlatform platform;
};

TEST_F(MainWindowTest, StartUpShowsTheConfiguredValuesAndTheProjectPage) {
    WriteConfigText("ObjectDir /objects here\nProjectDir /projects\nBgColor 0.2 0.4 0.6 0\nWireColor 1 0 0.5 0\n");
    Run([&](MainWindow& mw, MemoryWindow& w) {
        EXPECT_EQ(w.Caption(), "Vexholm - Morphwright 1.6");
        EXPECT_EQ(w.IconId(), kAppIcon);
        ASSERT_EQ(w.TabCount(kIdTabStrip), 4);
        EXPECT_EQ(w.TabLabel(kIdTabStrip, 0), "Project");
        EXPECT_EQ(w.TabLabel(kIdTabStrip, 3), "Edit BodyParts");
        EXPECT_EQ(w.TabSelection(kIdTabStrip), 0);
        EXPECT_TRUE(w.IsChecked(kIdSmooth));
        EXPECT_FALSE(w.IsChecked(kIdFlat));
        EXPECT_EQ(mw.view->state.drawMode, 0);
        EXPECT_FLOAT_EQ(mw.view->state.lightLevel, 0.5f);
        EXPECT_EQ(w.GetScrollInfo(kIdZoomBar).max, 100);

        // The pages were created after the file was read, so they show its values.
        MemoryWindow* prefs = ChildWithTemplate(w, kPreferencesTemplate);
        ASSERT_NE(prefs, nullptr);
        EXPECT_EQ(prefs->Text(panels::kIdObjectDirEdit), "/objects here");
        EXPECT_EQ(prefs->Text(panels::kIdProjectDirEdit), "/projects");
        EXPECT_EQ(prefs->GetScrollInfo(panels::kIdBackgroundRedBar).pos, 51);
        EXPECT_EQ(prefs->GetScrollInfo(panels::kIdWireRedBar).pos, 254);  // 255 shown within 0 … 254
        EXPECT_EQ(prefs->GetScrollInfo(panels::kIdWireBlueBar).pos, 127);
        EXPECT_EQ(mw.partSelectionPanel->ObjectDir(), "/objects here");
        EXPECT_EQ(mw.projectPanel->projectDir, "/projects");

        // The view's colour is the configured one again after its creation reset it.
        EXPECT_FLOAT_EQ(mw.view->state.backgroundColor[1], 0.4f);
        EXPECT_FLOAT_EQ(mw.view->state.wireColor[2], 0.5f);
        EXPECT_EQ(mw.view->creature, mw.creature.get());
        ASSERT_NE(mw.viewWindow, nullptr);
        EXPECT_EQ(mw.viewWindow->Geometry().x, 330);
        EXPECT_EQ(mw.viewWindow->Geometry().y, 20);
        EXPECT_TRUE(mw.viewWindow->IsVisible());

        // Only the Project page is shown; every page sits at (1, 21) in the tab strip.
        const int pages[4] = {kProjectTemplate, kPartSelectionTemplate, kPreferencesTemplate,
                              kPartParameterTemplate};
        for (int i = 0; i < 4; ++i) {
            MemoryWindow* page = ChildWithTemplate(w, pages[i]);
            ASSERT_NE(page, nullptr);
            EXPECT_EQ(page->IsVisible(), i == 0) << pages[i];
            EXPECT_EQ(page->ParentContainerId(), kIdTabStrip);
            EXPECT_EQ(page->Geometry().x, 1);
            EXPECT_EQ(page->Geometry().y, 21);
        }
    });
}

TEST_F(MainWindowTest, WithoutAConfigFileTheDefaultsApply) {
    Run([&](MainWindow& mw, MemoryWindow& w) {
        MemoryWindow* prefs = ChildWithTemplate(w, kPreferencesTemplate);
        ASSERT_NE(prefs, nullptr);
        EXPECT_EQ(prefs->Text(panels::kIdObjectDirEdit), "");
        EXPECT_EQ(prefs->GetScrollInfo(panels::kIdBackgroundGreenBar).pos, 0);
        EXPECT_EQ(prefs->GetScrollInfo(panels::kIdWireGreenBar).pos, 204);
        EXPECT_EQ(mw.view->state.backgroundColor[0], 0.0f);
        EXPECT_FLOAT_EQ(mw.view->state.wireColor[0], 0.8f);
        EXPECT_EQ(mw.convertObjectName, "NewObject");
    });
}

TEST_F(MainWindowTest, ColoursOutOfRangeInTheConfigFileShowAtTheBarsEnds) {
    WriteConfigText("BgColor inf nan 1e30 0\nWireColor -inf 2 -0.5 0\n");
    Run([&](MainWindow& mw, MemoryWindow& w) {
        MemoryWindow* prefs = ChildWithTemplate(w, kPreferencesTemplate);
        ASSERT_NE(prefs, nullptr);
        EXPECT_EQ(prefs->GetScrollInfo(panels::kIdBackgroundRedBar).pos, 254);
        EXPECT_EQ(prefs->GetScrollInfo(panels::kIdBackgroundGreenBar).pos, 0);
        EXPECT_EQ(prefs->GetScrollInfo(panels::kIdBackgroundBlueBar).pos, 254);
        EXPECT_EQ(prefs->GetScrollInfo(panels::kIdWireRedBar).pos, 0);
        EXPECT_EQ(prefs->GetScrollInfo(panels::kIdWireGreenBar).pos, 254);
        EXPECT_EQ(prefs->GetScrollInfo(panels::kIdWireBlueBar).pos, 0);
        // The values themselves are kept as read.
        EXPECT_TRUE(std::isinf(mw.view->state.backgroundColor[0]));
        EXPECT_FLOAT_EQ(mw.view->state.wireColor[1], 2.0f);
    });
}

TEST_F(MainWindowTest, EveryWayOfClosingWritesTheConfigFile) {
    const std::vector<std::function<void(MemoryWindow&)>> closers = {
        [](MemoryWindow& w) { w.Click(ui::kIdOk); },
        [](MemoryWindow& w) { w.Click(ui::kIdCancel); },
        [](MemoryWindow& w) { w.Close(); },
    };
    // Without one in the start-up directory the file is the user's, its
    // folder made when it is written.
    const auto userFile = dir / "xdg" / "morphwright" / "mw.cfg";
    for (const auto& close : closers) {
        std::filesystem::remove_all(dir / "xdg");
        platform.modalScript = close;
        EXPECT_EQ(RunApplication(platform), 0);
        EXPECT_FALSE(std::filesystem::exists(dir / "mw.cfg"));
        const std::string text = ReadAll(userFile);
        EXPECT_NE(text.find("ConvertObjectName NewObject\r\n"), std::string::npos);
        EXPECT_NE(text.find("WireColor 0.800000 0.800000 0.800000 0.000000\r\n"), std::string::npos);
    }
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(MainWindowTest, TheConfigFileGoesBackToTheStartUpDirectory) {
    WriteConfigText("ObjectDir /lib\nConvertObjectDir /conv\n");
    std::filesystem::create_directories(dir / "elsewhere");
    platform.modalScript = [&](MemoryWindow& w) {
        std::filesystem::current_path(dir / "elsewhere");  // as a file dialog may do
        w.Click(ui::kIdOk);
    };
    RunApplication(platform);
    EXPECT_FALSE(std::filesystem::exists(dir / "elsewhere" / "mw.cfg"));
    const std::string text = ReadAll(dir / "mw.cfg");
    EXPECT_NE(text.find("ObjectDir /lib\r\n"), std::string::npos);
    EXPECT_NE(text.find("ConvertObjectDir /conv\r\n"), std::string::npos);
}

TEST_F(MainWindowTest, AnUnwritableConfigFileIsReportedAndTheOldOneKept) {
    WriteConfigText("ObjectDir /old\n");
    platform.modalScript = [](MemoryWindow& w) { w.Click(ui::kIdOk); };
    {
        testsupport::FileSizeLimit full;
        RunApplication(platform);
    }
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Unable to open config file for writing!");
    EXPECT_EQ(platform.messages[0].caption, "Error");
    EXPECT_EQ(platform.messages[0].icon, ui::Icon::Exclamation);
    EXPECT_EQ(ReadAll(dir / "mw.cfg"), "ObjectDir /old\n");
}

TEST_F(MainWindowTest, ShadingButtonsSetTheDrawModeAndRepaint) {
    Run([&](MainWindow& mw, MemoryWindow& w) {
        ASSERT_NE(mw.viewWindow, nullptr);
        const int before = static_cast<MemoryWindow*>(mw.viewWindow)->invalidateCount;
        w.Click(kIdWireframe);
        EXPECT_EQ(mw.view->state.drawMode, 2);
        EXPECT_TRUE(w.IsChecked(kIdWireframe));
        EXPECT_FALSE(w.IsChecked(kIdSmooth));
        w.Click(kIdFlat);
        EXPECT_EQ(mw.view->state.drawMode, 1);
        EXPECT_GT(static_cast<MemoryWindow*>(mw.viewWindow)->invalidateCount, before);
    });
}

TEST_F(MainWindowTest, ZoomBarStepsZoomAndLight) {
    Run([&](MainWindow& mw, MemoryWindow& w) {
        // The end-of-scroll message alone moves nothing but sets the light.
        w.Scroll(kIdZoomBar, ui::kScrollEnd, 0);
        EXPECT_FLOAT_EQ(mw.view->state.zoom, 1.1f);
        EXPECT_EQ(mw.view->state.lightLevel, 0.7f);

        w.Scroll(kIdZoomBar, ui::kScrollLineRight, 0);
        EXPECT_EQ(mw.zoomPosition, 1);
        EXPECT_EQ(mw.view->state.zoom, 1.1f - 1.0f * (1.0f / 90.0f));
        EXPECT_EQ(w.GetScrollInfo(kIdZoomBar).pos, 1);
        w.Scroll(kIdZoomBar, ui::kScrollPageRight, 0);
        EXPECT_EQ(mw.zoomPosition, 5);
        w.Scroll(kIdZoomBar, ui::kScrollPageLeft, 0);
        w.Scroll(kIdZoomBar, ui::kScrollLineLeft, 0);
        EXPECT_EQ(mw.zoomPosition, 0);
        EXPECT_NEAR(mw.view->state.zoom, 1.1f, 1e-6);
        EXPECT_NEAR(mw.view->state.lightLevel, 0.7f, 1e-6);

        // A drag from 0 to 100 lowers the zoom by about 100/90 and darkens.
        for (int p = 1; p <= 100; ++p) w.Scroll(kIdZoomBar, ui::kScrollThumbTrack, p);
        w.Scroll(kIdZoomBar, ui::kScrollThumbPosition, 100);
        w.Scroll(kIdZoomBar, ui::kScrollEnd, 0);
        EXPECT_EQ(mw.zoomPosition, 100);
        EXPECT_NEAR(mw.view->state.zoom, 1.1f - 100.0f / 90.0f, 1e-5);
        EXPECT_NEAR(mw.view->state.lightLevel, 0.7f - 50.0f / 90.0f, 1e-5);

        // Beyond the end the bar stays but zoom and light keep changing.
        const float zoomAtEnd = mw.view->state.zoom;
        w.Scroll(kIdZoomBar, ui::kScrollLineRight, 0);
        EXPECT_EQ(mw.zoomPosition, 101);
        EXPECT_EQ(w.GetScrollInfo(kIdZoomBar).pos, 100);
        EXPECT_LT(mw.view->state.zoom, zoomAtEnd);
        // A later drag counts from the thumb position again.
        w.Scroll(kIdZoomBar, ui::kScrollThumbTrack, 50);
        EXPECT_EQ(mw.zoomPosition, 50);
        EXPECT_NEAR(mw.view->state.zoom, 1.1f - 50.0f / 90.0f, 1e-5);
    });
}

TEST_F(MainWindowTest, SwitchingTabsShowsExactlyOnePage) {
    Run([&](MainWindow&, MemoryWindow& w) {
        const int pages[4] = {kProjectTemplate, kPartSelectionTemplate, kPreferencesTemplate,
                              kPartParameterTemplate};
        for (int tab : {1, 3, 2, 0, 2}) {
            w.SelectTab(kIdTabStrip, tab);
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(ChildWithTemplate(w, pages[i])->IsVisible(), i == tab) << "tab " << tab;
            }
        }
    });
}

TEST_F(MainWindowTest, RandomAndClearCreature) {
    testlib::MakeTinyLibrary(dir / "lib", {}, {"one.mwo", "two.mwo"});
    WriteConfigText("ObjectDir " + (dir / "lib").string() + "\n");
    Run([&](MainWindow& mw, MemoryWindow& w) {
        MemoryWindow* page = ChildWithTemplate(w, kPartSelectionTemplate);
        ASSERT_NE(page, nullptr);
        w.Click(kIdRandomCreature);
        EXPECT_EQ(mw.creature->parts.Count(), 22);
        w.Click(kIdClearCreature);
        EXPECT_EQ(mw.creature->parts.Count(), 0);
        for (int row = 0; row < 22; ++row) EXPECT_EQ(page->Selection(panels::PartSelectionPanel::ListId(row)), 0);
        // Clearing an empty figure changes nothing and reports nothing.
        w.Click(kIdClearCreature);
        EXPECT_EQ(mw.creature->parts.Count(), 0);
        EXPECT_TRUE(platform.messages.empty());
    });
}

TEST_F(MainWindowTest, WhatThePrefsPageChoosesIsInTheConfigFileAfterTheRun) {
    WriteConfigText("ObjectDir /old objects\nProjectDir /old projects\nBgColor 0 0 0 0\n");
    platform.directoryAnswers = {std::string("/new/objects/"), std::string("/")};
    platform.modalScript = [&](MemoryWindow& w) {
        w.SelectTab(kIdTabStrip, 2);
        MemoryWindow* prefs = ChildWithTemplate(w, kPreferencesTemplate);
        ASSERT_NE(prefs, nullptr);
        prefs->Click(panels::kIdObjectDirButton);
        prefs->Click(panels::kIdProjectDirButton);
        prefs->Scroll(panels::kIdBackgroundGreenBar, ui::kScrollThumbTrack, 51);
        prefs->Scroll(panels::kIdWireBlueBar, ui::kScrollLineLeft, 0);
        w.Click(ui::kIdOk);
    };
    RunApplication(platform);
    const std::string text = ReadAll(dir / "mw.cfg");
    EXPECT_NE(text.find("ObjectDir /new/objects\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("ProjectDir /\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("BgColor 0.000000 0.200000 0.000000 0.000000\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("WireColor 0.800000 0.800000 0.796079 0.000000\r\n"), std::string::npos) << text;
}

TEST_F(MainWindowTest, ARandomFiguresPartIsChosenAndDeformedOnTheEditPage) {
    testlib::MakeTinyLibrary(dir / "lib", {}, {"one.mwo"});
    WriteConfigText("ObjectDir " + (dir / "lib").string() + "\n");
    Run([&](MainWindow& mw, MemoryWindow& w) {
        w.Click(kIdRandomCreature);
        w.SelectTab(kIdTabStrip, 3);
        MemoryWindow* edit = ChildWithTemplate(w, kPartParameterTemplate);
        ASSERT_NE(edit, nullptr);
        ASSERT_TRUE(edit->ChooseEntry(panels::kIdObjectList, 9));  // "Upper body"
        model::MeshObject* body = mw.creature->PartOfPanel(8);
        ASSERT_NE(body, nullptr);
        EXPECT_EQ(mw.view->state.selectedPanel, 8) << "the part worked on is outlined";
        const float before = body->points[3 * 2];
        ASSERT_TRUE(edit->Scroll(panels::kAxisControls[0].adjustBar, ui::kScrollPageLeft, 0));
        EXPECT_EQ(body->settings.deformFactors[0][0], 0.04f);
        EXPECT_NE(body->points[3 * 2], before);
        // Clearing the figure leaves the page with nothing to touch.
        w.Click(kIdClearCreature);
        EXPECT_EQ(mw.view->state.selectedPanel, -1);
        EXPECT_TRUE(edit->Scroll(panels::kAxisControls[0].adjustBar, ui::kScrollPageLeft, 0));
        EXPECT_TRUE(platform.messages.empty());
    });
}

}  // namespace
}  // namespace app

namespace app {
namespace {

// The figure bit for bit, and what the Main page's lists show.
std::string FigureAndLists(const MainWindow& mw, MemoryWindow& main) {
    std::string all;
    for (const model::MeshObject& part : mw.creature->parts) {
        all += part.objectName + '\n';
        all.append(reinterpret_cast<const char*>(&part.settings), sizeof part.settings);
        all.append(reinterpret_cast<const char*>(part.points.data()), part.points.size() * sizeof(float));
        all.append(reinterpret_cast<const char*>(part.normals.data()), part.normals.size() * sizeof(float));
    }
    for (int row = 0; row < model::kPartTypeCount; ++row) {
        all += std::to_string(main.Selection(panels::PartSelectionPanel::ListId(row))) + ',';
    }
    return all;
}

// Edits of every kind through the pages; then Undo all the way gives every
// earlier figure and list back, Redo all the way every later one. A drag of
// 40 scroll messages is one step, also when a tab change cuts it short.
TEST_F(MainWindowTest, UndoAndRedoTakeEveryEditBackAndForth) {
    testlib::MakeTinyLibrary(dir / "lib", {}, {"one.mwo", "two.mwo", "three.mwo"});
    WriteConfigText("ObjectDir " + (dir / "lib").string() + "\n");
    Run([&](MainWindow& mw, MemoryWindow& w) {
        MemoryWindow* main = ChildWithTemplate(w, kPartSelectionTemplate);
        MemoryWindow* edit = ChildWithTemplate(w, kPartParameterTemplate);
        ASSERT_NE(main, nullptr);
        ASSERT_NE(edit, nullptr);
        EXPECT_FALSE(w.IsEnabled(kIdUndo));
        EXPECT_FALSE(w.IsEnabled(kIdRedo));
        const panels::AxisControls& x = panels::kAxisControls[0];
        const auto drag = [&](int messages) {
            for (int m = 1; m <= messages; ++m) edit->Scroll(x.adjustBar, ui::kScrollThumbTrack, -m);
        };
        std::vector<std::function<void()>> edits = {
            [&] { w.Click(kIdRandomCreature); },
            [&] { main->ChooseEntry(panels::PartSelectionPanel::ListId(8), 2); },
            [&] { main->ChooseEntry(panels::PartSelectionPanel::ListId(0), 0); },
            [&] { edit->ChooseEntry(panels::kIdObjectList, 9); },  // no change of the figure: no step
            [&] { edit->Click(x.lockButtons[model::kLockPositive]); },
            [&] {
                drag(40);
                edit->Scroll(x.adjustBar, ui::kScrollThumbPosition, -40);
                edit->Scroll(x.adjustBar, ui::kScrollEnd, 0);
            },
            [&] {  // a click: the line and the end-scroll code
                edit->Scroll(x.adjustBar, ui::kScrollLineRight, 0);
                edit->Scroll(x.adjustBar, ui::kScrollEnd, 0);
            },
            [&] { edit->Scroll(x.adjustBar, ui::kScrollPageLeft, 0); },  // no end yet: the next change ends it
            [&] {
                edit->SetText(x.valueField, "0.25");
                edit->LoseFocus(x.valueField);
            },
            [&] {
                drag(10);
                w.SelectTab(kIdTabStrip, 1);  // cuts the drag short
                w.SelectTab(kIdTabStrip, 3);
            },
            [&] { w.Click(kIdClearCreature); },
        };
        // Every kind once, and before the last (Clear Creature) 30 more of
        // every kind on parts and values drawn at random (the same every run).
        std::mt19937 draw(16);
        const auto pick = [&](int n) { return static_cast<int>(draw() % static_cast<unsigned>(n)); };
        const auto randomEdit = [&] {
            const panels::AxisControls& a = panels::kAxisControls[pick(3)];
            edit->ChooseEntry(panels::kIdObjectList, 1 + pick(22));
            switch (pick(6)) {
                case 0:
                    main->ChooseEntry(panels::PartSelectionPanel::ListId(pick(22)), pick(4));
                    break;
                case 1:
                    edit->Click(a.lockButtons[pick(3)]);
                    break;
                case 2:
                    for (int m = 1, end = 1 + pick(40); m <= end; ++m) {
                        edit->Scroll(a.adjustBar, ui::kScrollThumbTrack, m - 20);
                    }
                    edit->Scroll(a.adjustBar, ui::kScrollEnd, 0);
                    break;
                case 3:
                    edit->Scroll(a.adjustBar, pick(4), 0);
                    edit->Scroll(a.adjustBar, ui::kScrollEnd, 0);
                    break;
                default: {
                    const int field = pick(2) == 0 ? a.valueField : a.stepField;
                    edit->SetText(field, "0." + std::to_string(1 + pick(998)));
                    edit->LoseFocus(field);
                    break;
                }
            }
        };
        edits.insert(edits.end() - 1, 30, randomEdit);  // before Clear Creature
        std::vector<std::string> seen = {FigureAndLists(mw, *main)};
        std::string open;  // the figure after an edit whose step is still open
        for (std::size_t e = 0; e < edits.size(); ++e) {
            const std::size_t before = mw.steps.history.StepCount();
            edits[e]();
            const std::size_t added = mw.steps.history.StepCount() - before;
            ASSERT_LE(added, 2u) << "edit " << e;
            if (added == 2) seen.push_back(open);  // the open step ended first
            if (added > 0) seen.push_back(FigureAndLists(mw, *main));
            open = FigureAndLists(mw, *main);
        }
        ASSERT_GE(seen.size(), 31u);  // the start, and at least 30 edits that changed the figure
        const std::string lastStep = w.ToolTip(kIdUndo);
        // The buttons and the keys alike.
        for (std::size_t k = seen.size() - 1; k > 0; --k) {
            ASSERT_TRUE(w.IsEnabled(kIdUndo)) << k;
            if (k % 2 == 0) w.Click(kIdUndo);
            if (k % 2 == 1) w.PressKeys("Ctrl+Z");
            ASSERT_TRUE(FigureAndLists(mw, *main) == seen[k - 1]) << "undo to " << k - 1 << ": " << w.ToolTip(kIdRedo);
        }
        EXPECT_FALSE(w.IsEnabled(kIdUndo));
        EXPECT_FALSE(w.PressKeys("Ctrl+Z"));
        EXPECT_EQ(w.ToolTip(kIdRedo), "Redo: Random Creature");
        for (std::size_t k = 1; k < seen.size(); ++k) {
            ASSERT_TRUE(w.IsEnabled(kIdRedo)) << k;
            if (k % 3 == 0) w.Click(kIdRedo);
            if (k % 3 == 1) w.PressKeys("Ctrl+Y");
            if (k % 3 == 2) w.PressKeys("Ctrl+Shift+Z");
            ASSERT_TRUE(FigureAndLists(mw, *main) == seen[k]) << "redo to " << k << ": " << w.ToolTip(kIdUndo);
        }
        EXPECT_FALSE(w.IsEnabled(kIdRedo));
        EXPECT_EQ(w.ToolTip(kIdUndo), lastStep);
        // A change after an undo drops what could have been redone.
        w.Click(kIdUndo);
        const int list = panels::PartSelectionPanel::ListId(8);
        main->ChooseEntry(list, main->Selection(list) == 1 ? 2 : 1);
        const std::string changed = FigureAndLists(mw, *main);
        EXPECT_FALSE(w.IsEnabled(kIdRedo));
        EXPECT_FALSE(w.PressKeys("Ctrl+Y"));
        EXPECT_EQ(FigureAndLists(mw, *main), changed);
        EXPECT_TRUE(platform.messages.empty());
        w.Click(ui::kIdOk);
    });
}

enum Answer { kSave, kDiscard, kCancel };

// OK, Cancel, Escape and the close box all ask about a modified figure:
// Cancel keeps the program, Save whose file dialog is cancelled keeps it,
// Discard closes. mw.cfg is written whichever way the run ended.
TEST_F(MainWindowTest, EveryWayOfClosingAModifiedFigureAsksFirst) {
    testlib::MakeTinyLibrary(dir / "lib", {}, {"one.mwo"});
    const std::vector<std::function<bool(MemoryWindow&)>> closers = {
        [](MemoryWindow& w) { return w.Click(ui::kIdOk); },
        [](MemoryWindow& w) { return w.Click(ui::kIdCancel); },
        [](MemoryWindow& w) { return w.PressEscape(); },
        [](MemoryWindow& w) { return w.Close(); },
    };
    for (std::size_t k = 0; k < closers.size(); ++k) {
        WriteConfigText("ObjectDir " + (dir / "lib").string() + "\nBgColor 0 0 1 0\n");
        platform.questions.clear();
        platform.modalScript = [&](MemoryWindow& w) {
            EXPECT_FALSE(w.IsModified());
            w.Click(kIdRandomCreature);
            EXPECT_TRUE(w.IsModified());
            for (Answer keeps : {kCancel, kSave}) {
                platform.answers = {keeps};
                ASSERT_TRUE(closers[k](w));
                EXPECT_FALSE(w.Ended()) << "closer " << k << " answer " << keeps;
            }
            platform.answers = {kDiscard};
            closers[k](w);
            EXPECT_TRUE(w.Ended()) << "closer " << k;
        };
        RunApplication(platform);
        ASSERT_EQ(platform.questions.size(), 3u) << "closer " << k;
        EXPECT_EQ(platform.questions[0].text,
                  "The figure has changes that are not saved. Save the project before closing?");
        EXPECT_EQ(platform.questions[0].buttons, (std::vector<std::string>{"Save", "Discard", "Cancel"}));
        // Written anew: the file read had neither these numbers nor a size.
        const std::string written = ReadAll(dir / "mw.cfg");
        EXPECT_NE(written.find("BgColor 0.000000 0.000000 1.000000"), std::string::npos);
        EXPECT_NE(written.find("WindowSize 888 666\r\n"), std::string::npos);
    }
    EXPECT_EQ(platform.fileDialogRequests.size(), closers.size());  // one cancelled dialog each
}

// Save closes once the project is written; a saved or loaded figure closes
// without a word, and an undo after the save makes it modified again.
TEST_F(MainWindowTest, ASavedOrLoadedFigureClosesWithoutAQuestion) {
    testlib::MakeTinyLibrary(dir / "lib", {}, {"one.mwo"});
    WriteConfigText("ObjectDir " + (dir / "lib").string() + "\n");
    const std::string project = (dir / "figure.mwp").string();
    platform.modalScripts.push_back([&](MemoryWindow& w) {
        w.Click(kIdRandomCreature);
        platform.answers = {kSave};
        platform.fileDialogAnswers = {ui::FileDialogResult{project, 1}};
        w.Click(ui::kIdOk);
        EXPECT_TRUE(w.Ended());
    });
    platform.modalScripts.push_back([&](MemoryWindow& w) {
        MemoryWindow* page = ChildWithTemplate(w, kProjectTemplate);
        ASSERT_NE(page, nullptr);
        w.Click(kIdRandomCreature);
        platform.fileDialogAnswers = {ui::FileDialogResult{project, 1}};
        page->Click(panels::kIdSaveProject);
        EXPECT_FALSE(w.IsModified());
        w.Click(kIdUndo);
        EXPECT_TRUE(w.IsModified());
        platform.fileDialogAnswers = {ui::FileDialogResult{project, 1}};
        page->Click(panels::kIdLoadProject);
        EXPECT_FALSE(w.IsModified());
        w.Close();
        EXPECT_TRUE(w.Ended());
    });
    RunApplication(platform);
    EXPECT_EQ(platform.questions.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_regular_file(project));
    RunApplication(platform);
    EXPECT_EQ(platform.questions.size(), 1u);
}

// The view takes every pixel the window gains; the tab pages stay and the
// bottom row keeps to the bottom. The wheel zooms with the bar, a double
// click and Home put the camera back, and the size outlives the run.
TEST_F(MainWindowTest, TheViewGrowsWithTheWindowAndTheCameraComesBack) {
    WriteConfigText("WindowSize 1000 700\n");
    Run([&](MainWindow& mw, MemoryWindow& w) {
        auto* view = static_cast<MemoryWindow*>(mw.viewWindow);
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(w.IsResizable());
        EXPECT_EQ(w.Geometry().width, 1000);
        EXPECT_EQ(view->Geometry().width, 547 + 112);
        const ui::Rect tabs = w.ControlGeometry(kIdTabStrip);
        const struct {
            int width, height;
            ui::Rect view, ok, cancel;
        } sizes[] = {
            {1288, 966, {330, 20, 947, 857}, {4, 937, 75, 22}, {1202, 937, 75, 22}},
            {500, 400, {330, 20, 547, 557}, {4, 637, 75, 22}, {802, 637, 75, 22}},  // never below its first size
        };
        for (const auto& s : sizes) {
            w.Resize(s.width, s.height);
            EXPECT_EQ(view->Geometry(), s.view) << s.width;
            EXPECT_EQ(w.ControlGeometry(ui::kIdOk), s.ok) << s.width;
            EXPECT_EQ(w.ControlGeometry(ui::kIdCancel), s.cancel) << s.width;
            EXPECT_EQ(w.ControlGeometry(kIdTabStrip), tabs);
        }

        const view::ViewState start = mw.view->state;
        view->MouseWheel(2, 5, 5);
        EXPECT_EQ(mw.zoomPosition, -2);
        EXPECT_NEAR(mw.view->state.zoom, 1.1f + 2.0f / 90.0f, 1e-6);
        view->MouseWheel(-3, 5, 5);
        EXPECT_EQ(mw.zoomPosition, 1);
        EXPECT_EQ(w.GetScrollInfo(kIdZoomBar).pos, 1);
        const std::vector<std::function<void()>> resets = {[&] { view->DoubleClick(5, 5); },
                                                           [&] { w.PressKeys("Home"); }};
        for (const auto& reset : resets) {
            view->MouseButton(ui::MouseButton::Left, true, 10, 10);
            view->MouseMove(40, 30);
            view->MouseButton(ui::MouseButton::Left, false, 40, 30);
            view->MouseButton(ui::MouseButton::Right, true, 10, 10);
            view->MouseMove(60, 20);
            view->MouseButton(ui::MouseButton::Right, false, 60, 20);
            w.Scroll(kIdZoomBar, ui::kScrollPageRight, 0);
            reset();
            EXPECT_EQ(std::memcmp(&mw.view->state, &start, sizeof start), 0);
            EXPECT_EQ(w.GetScrollInfo(kIdZoomBar).pos, 0);
        }
        w.Resize(1100, 800);
        mw.WriteConfig();
        EXPECT_NE(ReadAll(dir / "mw.cfg").find("WindowSize 1100 800\r\n"), std::string::npos);
    });
}

// A project named on the command line comes in as "Load Project" brings it:
// its parts in the figure and selected on "Main", the figure not modified;
// a file that cannot be read gives the same box and an empty figure.
TEST_F(MainWindowTest, AProjectGivenAtStartUpIsLoadedAsLoadProjectDoes) {
    testlib::MakeTinyLibrary(dir / "lib", {}, {"a.mwo", "n1.mwo"});
    WriteConfigText("ObjectDir " + (dir / "lib").string() + "\n");
    const std::string numbers = "0 0 0 0 0 0 0 0 0 0.010000 0.010000 0.010000 0 0 0 0 0 0 0 0 0 0 0 0 0\r\n";
    std::ofstream(dir / "hero.mwp", std::ios::binary)
        << "MW1\r\n2\r\n17\r\n5\r\nNose\r\n\\Nose\\n1.mwo\r\n" + numbers + "0\r\n0\r\nHead\r\n\\Head\\a.mwo\r\n" + numbers;
    const struct {
        std::string project;
        int parts;
        bool box;
    } rows[] = {
        {"hero.mwp", 2, false},
        {(dir / "hero.mwp").string(), 2, false},
        {"gone.mwp", 0, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.project);
        platform.messages.clear();
        MainWindow mainWindow(platform);
        mainWindow.startupProject = row.project;
        platform.modalScript = [&](MemoryWindow& w) {
            EXPECT_EQ(mainWindow.creature->parts.Count(), row.parts);
            EXPECT_FALSE(w.IsModified());
            MemoryWindow* page = ChildWithTemplate(w, kPartSelectionTemplate);
            ASSERT_NE(page, nullptr);
            for (const auto& [part, file] : {std::pair{"Nose", "n1.mwo"}, std::pair{"Head", "a.mwo"}}) {
                int panel = 0;
                while (model::panelOrder[panel] != part) ++panel;
                // Entry 0 is "none".
                const int list = panels::PartSelectionPanel::ListId(panel);
                const int at = page->Selection(list);
                EXPECT_EQ(at > 0 ? page->EntryText(list, at) : "", row.parts > 0 ? file : "") << part;
            }
        };
        mainWindow.Run();
        ASSERT_EQ(platform.messages.size(), row.box ? 1u : 0u);
        if (row.box) {
            EXPECT_EQ(platform.messages[0].text, "Couldn't open project file!");
            EXPECT_EQ(platform.messages[0].caption, "Error!");
            EXPECT_EQ(platform.messages[0].icon, ui::Icon::Exclamation);
        }
    }
}

}  // namespace
}  // namespace app
