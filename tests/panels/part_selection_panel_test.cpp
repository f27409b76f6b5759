// The "Main" page on the in-memory platform: its lists filled from an object
// library written by the test, choosing and stepping through entries, and
// the random figure.
#include <gtest/gtest.h>

#include <fstream>

#include "formats/object_reader.h"
#include "model/creature.h"
#include "panels/part_selection_panel.h"
#include "resources/templates.h"
#include "temp_dir.h"
#include "tiny_library.h"
#include "ui/memory/memory_platform.h"
#include "view/creature_view.h"

namespace panels {
namespace {

using ui::memory::MemoryPlatform;
using ui::memory::MemoryWindow;

// A bare host window for the page, as the main window's tab strip would be.
class Host : public ui::WindowHandler {};

class PartSelectionTest : public testlib::TempDirTest {
protected:
    // Runs `body` with the page created and filled from `library`.
    template <typename Body>
    void WithPanel(const std::filesystem::path& library, Body body) {
        MemoryPlatform platform;
        model::Creature creature(platform);
        view::CreatureView view(platform);
        Host host;
        PartSelectionPanel page;
        panel = &page;
        page.SetObjectDir(library.string());
        page.creature = &creature;
        page.clock = [this] { return now; };
        const ui::DialogTemplate hostTemplate{1, "host", 400, 400, false, {}};
        platform.modalScript = [&](MemoryWindow& w) {
            auto* viewWindow = static_cast<MemoryWindow*>(platform.CreateGlView(resources::ViewTemplate(), view, w));
            view.creature = &creature;
            page.view = &view;
            auto* pageWindow = static_cast<MemoryWindow*>(
                platform.CreateChildDialog(resources::PartSelectionTemplate(), page, w, 0));
            ASSERT_NE(pageWindow, nullptr);
            ASSERT_NE(viewWindow, nullptr);
            page.FillPartLists();
            body(platform, *pageWindow, creature, *viewWindow);
        };
        platform.RunModal(hostTemplate, host, nullptr);
    }

    static int List(int row) { return PartSelectionPanel::ListId(row); }
    std::time_t now = 1000000;
    PartSelectionPanel* panel = nullptr;  // the page of the running WithPanel
};

TEST_F(PartSelectionTest, RowsAreBuiltAtTheirPixelPositions) {
    WithPanel(dir / "none", [](MemoryPlatform&, MemoryWindow& page, model::Creature&, MemoryWindow&) {
        EXPECT_EQ(page.ControlGeometry(List(0)), (ui::Rect{120, 4, 158, 416}));
        EXPECT_EQ(page.ControlGeometry(List(21)), (ui::Rect{120, 529, 158, 416}));
        EXPECT_EQ(page.ControlGeometry(PartSelectionPanel::StepButtonId(21, false)), (ui::Rect{280, 530, 20, 20}));
        EXPECT_EQ(page.ControlGeometry(PartSelectionPanel::StepButtonId(21, true)), (ui::Rect{301, 530, 20, 20}));
        EXPECT_EQ(page.Text(PartSelectionPanel::StepButtonId(3, true)), ">");
        EXPECT_EQ(page.Selection(List(5)), 0);
    });
}

TEST_F(PartSelectionTest, ListsAreSortedIgnoringCaseAfterNoneAndEmptyFoldersSayNoFiles) {
    std::filesystem::create_directories(dir / "lib" / "Left ear");  // empty folder
    testlib::MakeTinyLibrary(dir / "lib", {{"Head", {"b head.mwo", "A head.mwo", "c head.MWO"}}, {"Left ear", {}}},
                             {});
    std::ofstream(dir / "lib" / "Head" / "notes.txt") << "not an object";
    std::filesystem::create_directories(dir / "lib" / "Head" / "folder.mwo");
    WithPanel(dir / "lib", [](MemoryPlatform& platform, MemoryWindow& page, model::Creature& creature,
                              MemoryWindow&) {
        ASSERT_EQ(page.EntryCount(List(0)), 4);
        EXPECT_EQ(page.EntryText(List(0), 0), " (none) ");
        EXPECT_EQ(page.EntryText(List(0), 1), "A head.mwo");
        EXPECT_EQ(page.EntryText(List(0), 2), "b head.mwo");
        EXPECT_EQ(page.EntryText(List(0), 3), "c head.MWO");
        for (int row : {1, 2, 21}) {  // an empty folder and missing folders
            ASSERT_EQ(page.EntryCount(List(row)), 2);
            EXPECT_EQ(page.EntryText(List(row), 1), "No Files");
        }
        // Choosing "No Files" fails to load, naming the path that ends in it.
        page.ChooseEntry(List(1), 1);
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].caption, "Unable to add object");
        const std::string& text = platform.messages[0].text;
        EXPECT_EQ(text.substr(text.size() - std::string("Left ear/No Files").size()), "Left ear/No Files");
        EXPECT_EQ(creature.parts.Count(), 0);
    });
}

TEST_F(PartSelectionTest, ChoosingAndSteppingLoadsReloadsAndEmptiesTheSlot) {
    testlib::MakeTinyLibrary(dir / "lib", {{"Nose", {"n1.mwo", "n2.mwo"}}}, {});
    WithPanel(dir / "lib", [this](MemoryPlatform& platform, MemoryWindow& page, model::Creature& creature,
                                  MemoryWindow& viewWindow) {
        const int row = 5;  // "Nose"
        view::ViewState& shown = panel->view->state;
        const int back = PartSelectionPanel::StepButtonId(row, false);
        const int forward = PartSelectionPanel::StepButtonId(row, true);

        const int repaintsBefore = viewWindow.invalidateCount;
        page.ChooseEntry(List(row), 1);
        ASSERT_EQ(creature.parts.Count(), 1);
        auto* nose = creature.PartAt(0);
        EXPECT_EQ(nose->objectType, "Nose");
        EXPECT_EQ(nose->panelIndex, row);
        EXPECT_NE(nose->objectName.find("Nose/n1.mwo"), std::string::npos);
        EXPECT_GT(viewWindow.invalidateCount, repaintsBefore);

        page.Click(forward);
        EXPECT_EQ(page.Selection(List(row)), 2);
        EXPECT_NE(creature.PartAt(0)->objectName.find("n2.mwo"), std::string::npos);
        // ">" on the last entry stays there and loads a fresh copy.
        shown.selectedPanel = row;
        page.Click(forward);
        EXPECT_EQ(page.Selection(List(row)), 2);
        ASSERT_EQ(creature.parts.Count(), 1);
        EXPECT_EQ(shown.selectedPanel, row) << "the replacement keeps the selection";

        page.Click(back);
        page.Click(back);
        EXPECT_EQ(page.Selection(List(row)), 0);
        EXPECT_EQ(creature.parts.Count(), 0);
        // The part taken out takes its selection along: loading the slot
        // again later brings no outline back.
        EXPECT_EQ(shown.selectedPanel, -1);
        // "<" on the first entry applies it again: still empty, no message.
        page.Click(back);
        EXPECT_EQ(page.Selection(List(row)), 0);
        EXPECT_EQ(creature.parts.Count(), 0);

        // With no selection both buttons go to the first entry.
        page.ChooseEntry(List(row), 1);
        page.SetSelection(List(row), -1);
        page.Click(forward);
        EXPECT_EQ(page.Selection(List(row)), 0);
        EXPECT_EQ(creature.parts.Count(), 0);
        page.ChooseEntry(List(row), 1);
        page.SetSelection(List(row), -1);
        page.Click(back);
        EXPECT_EQ(page.Selection(List(row)), 0);
        EXPECT_EQ(creature.parts.Count(), 0);
        EXPECT_TRUE(platform.messages.empty());
    });
}

TEST_F(PartSelectionTest, RandomFigureNeverPicksNoneAndRepeatsWithinASecond) {
    testlib::MakeTinyLibrary(dir / "three", {}, {"a.mwo", "b.mwo", "c.mwo"});
    WithPanel(dir / "three", [this](MemoryPlatform& platform, MemoryWindow& page, model::Creature& creature,
                                    MemoryWindow&) {
        auto picks = [&] {
            std::vector<int> p;
            for (int row = 0; row < kPartRows; ++row) p.push_back(page.Selection(List(row)));
            return p;
        };
        panel->PickRandomParts();
        const auto first = picks();
        EXPECT_EQ(creature.parts.Count(), 22);
        for (int s : first) EXPECT_GE(s, 1);  // never " (none) "
        panel->PickRandomParts();
        EXPECT_EQ(picks(), first);  // same second, same figure
        bool differs = false;
        for (int second = 1; second < 20 && !differs; ++second) {
            now += 1;
            panel->PickRandomParts();
            differs = picks() != first;
            for (int s : picks()) EXPECT_GE(s, 1);
        }
        EXPECT_TRUE(differs);
        EXPECT_EQ(creature.parts.Count(), 22);
        EXPECT_TRUE(platform.messages.empty());
    });
}

TEST_F(PartSelectionTest, RandomFigureFromALibraryWithOneFileEachLoadsAll22) {
    testlib::MakeTinyLibrary(dir / "one", {}, {"only.mwo"});
    WithPanel(dir / "one", [this](MemoryPlatform& platform, MemoryWindow& page, model::Creature& creature,
                                  MemoryWindow&) {
        panel->PickRandomParts();
        EXPECT_EQ(creature.parts.Count(), 22);
        for (int row = 0; row < kPartRows; ++row) EXPECT_EQ(page.Selection(List(row)), 1);
        EXPECT_TRUE(platform.messages.empty());
    });
}

// A library without any object file: "Random Creature" says so once, names
// the folder and where to choose another, and leaves the figure alone.
TEST_F(PartSelectionTest, ALibraryWithoutObjectFilesIsSaidOnce) {
    testlib::MakeTinyLibrary(dir / "one", {}, {"only.mwo"});
    for (auto part : model::panelOrder) std::filesystem::create_directories(dir / "empty" / std::string(part));
    WithPanel(dir / "empty", [this](MemoryPlatform& platform, MemoryWindow&, model::Creature& creature,
                                    MemoryWindow&) {
        panel->messages = &platform;
        ASSERT_TRUE(formats::SetPartFromFile(creature, "Nose", (dir / "one/Nose/only.mwo").string(), 5));
        panel->PickRandomParts();
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text, "The object directory \"" + (dir / "empty").string() +
                                                 "\" holds no part folder with object files (*.mwo). Choose the "
                                                 "object library on \"Prefs\" under \"Object Directory\".");
        EXPECT_EQ(platform.messages[0].caption, "Error!");
        EXPECT_EQ(creature.parts.Count(), 1);
    });
}

}  // namespace
}  // namespace panels
