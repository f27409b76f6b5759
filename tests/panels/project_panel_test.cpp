// The "Project" page on the in-memory platform, beside the "Main" page: new
// project, saving and loading a project with the lists following the files,
// the export's file types and extensions with the type-name option, every
// dialog cancelled, and the About box's links.
#include <gtest/gtest.h>

#include <algorithm>

#include <fstream>
#include <sstream>

#include "formats/mesh_exports.h"
#include "model/creature.h"
#include "panels/part_selection_panel.h"
#include "panels/project_panel.h"
#include "resources/templates.h"
#include "temp_dir.h"
#include "tiny_library.h"
#include "../support/stl_corners.h"
#include "ui/memory/memory_platform.h"
#include "view/creature_view.h"

namespace panels {
namespace {

using ui::memory::MemoryPlatform;
using ui::memory::MemoryWindow;

constexpr int kNoseRow = 5;
constexpr int kHeadRow = 0;

using testlib::ReadAll;

class Host : public ui::WindowHandler {};

class ProjectPanelTest : public testlib::TempDirTest {
protected:
    // Runs `body` with both pages created on a library of two heads and two noses.
    template <typename Body>
    void WithPages(Body body) {
        testlib::MakeTinyLibrary(dir / "lib", {{"Head", {"a head.mwo", "b head.mwo"}}, {"Nose", {"n1.mwo", "n2.mwo"}}},
                                 {});
        model::Creature figure(platform);
        view::CreatureView view(platform);
        PartSelectionPanel main;
        ProjectPanel project(platform);
        Host host;
        main.SetObjectDir((dir / "lib").string());
        main.creature = &figure;
        project.SetObjectDir((dir / "lib").string());
        project.creature = &figure;
        project.partSelectionPanel = &main;
        platform.modalScript = [&](MemoryWindow& w) {
            platform.CreateGlView(resources::ViewTemplate(), view, w);
            view.creature = &figure;
            main.view = project.view = &view;
            auto* lists = static_cast<MemoryWindow*>(
                platform.CreateChildDialog(resources::PartSelectionTemplate(), main, w, 0));
            auto* page = static_cast<MemoryWindow*>(platform.CreateChildDialog(resources::ProjectTemplate(), project, w, 0));
            main.FillPartLists();
            creature = &figure;
            shown = &view.state;
            body(*page, *lists);
        };
        platform.RunModal({1, "host", 600, 600, false, {}}, host, nullptr);
    }

    void Answer(const std::filesystem::path& path, int filterIndex = 1) {
        platform.fileDialogAnswers.push_back(ui::FileDialogResult{path.string(), filterIndex});
    }

    MemoryPlatform platform;
    model::Creature* creature = nullptr;
    view::ViewState* shown = nullptr;  // the view's state during `body`
};

TEST_F(ProjectPanelTest, NewProjectOnlySaysSo) {
    WithPages([&](MemoryWindow& page, MemoryWindow& lists) {
        lists.ChooseEntry(PartSelectionPanel::ListId(kHeadRow), 1);
        ASSERT_TRUE(page.Click(kIdNewProject));
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text, "Only human projects are supported in 1.x");
        EXPECT_EQ(platform.messages[0].caption, "Info");
        EXPECT_EQ(platform.messages[0].owner, &page);
        EXPECT_EQ(creature->parts.Count(), 1);
        EXPECT_EQ(lists.Selection(PartSelectionPanel::ListId(kHeadRow)), 1);
    });
}

TEST_F(ProjectPanelTest, EveryDialogCancelledChangesNothing) {
    WithPages([&](MemoryWindow& page, MemoryWindow& lists) {
        lists.ChooseEntry(PartSelectionPanel::ListId(kNoseRow), 2);
        page.Click(kIdTypeNames);
        for (int id : {kIdSaveProject, kIdLoadProject, kIdSaveCreature}) ASSERT_TRUE(page.Click(id));
        EXPECT_TRUE(platform.messages.empty());
        EXPECT_EQ(creature->parts.Count(), 1);
        EXPECT_EQ(creature->PartAt(0)->surfaces[0].name, "Skin");  // no renaming left behind
        ASSERT_EQ(platform.fileDialogRequests.size(), 3u);
        const auto& save = platform.fileDialogRequests[0];
        EXPECT_TRUE(save.save);
        EXPECT_TRUE(save.overwritePrompt);
        EXPECT_EQ(save.defaultExtension, "mwp");
        EXPECT_EQ(save.filter, "Morphwright Project (*.mwp)|*.mwp|");
        EXPECT_FALSE(platform.fileDialogRequests[1].save);
        EXPECT_EQ(platform.fileDialogRequests[1].defaultExtension, "mwp");
        EXPECT_EQ(platform.fileDialogRequests[2].defaultExtension, "3ds");
        EXPECT_EQ(platform.fileDialogRequests[2].filter,
                  "3D Studio Mesh (*.3ds)|*.3ds|DXF (*.dxf)|*.dxf|glTF Binary (*.glb)|*.glb|"
                  "Wavefront OBJ (*.obj)|*.obj|STL (*.stl)|*.stl|");
        for (const auto& r : platform.fileDialogRequests) EXPECT_EQ(r.owner, nullptr);
    });
}

TEST_F(ProjectPanelTest, SavedAndLoadedProjectGivesTheFigureAndTheListsBack) {
    WithPages([&](MemoryWindow& page, MemoryWindow& lists) {
        const int head = PartSelectionPanel::ListId(kHeadRow);
        const int nose = PartSelectionPanel::ListId(kNoseRow);
        lists.ChooseEntry(nose, 2);  // n2.mwo
        lists.ChooseEntry(head, 2);  // b head.mwo
        creature->PartAt(1)->settings.deformFactors[1][2] = 0.25f;
        Answer(dir / "figure.mwp");
        ASSERT_TRUE(page.Click(kIdSaveProject));
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].caption, "Project Saved");
        EXPECT_EQ(platform.messages[0].text, "Info");
        EXPECT_EQ(platform.messages[0].owner, &page);
        const std::string saved = ReadAll(dir / "figure.mwp");
        EXPECT_EQ(saved.substr(0, 10), "MW1\r\n2\r\n17");  // the nose first, as it was added

        // A file name that differs in letter case still selects its entry.
        std::string text = saved;
        text.replace(text.find("\\Head\\b head.mwo"), 16, "\\Head\\B HEAD.MWO");
        std::filesystem::copy_file(dir / "lib/Head/b head.mwo", dir / "lib/Head/B HEAD.MWO");
        std::ofstream(dir / "upper.mwp", std::ios::binary) << text;
        lists.ChooseEntry(head, 0);
        lists.ChooseEntry(nose, 0);
        Answer(dir / "upper.mwp");
        ASSERT_TRUE(page.Click(kIdLoadProject));
        ASSERT_EQ(creature->parts.Count(), 2);
        EXPECT_EQ(creature->PartAt(0)->objectType, "Nose");
        EXPECT_EQ(creature->PartAt(1)->settings.deformFactors[1][2], 0.25f);
        EXPECT_EQ(lists.Selection(nose), 2);
        EXPECT_EQ(lists.Selection(head), 2);
        EXPECT_EQ(platform.messages.size(), 1u);

        // A file no longer in its list: loaded if it exists, the list left without a selection.
        std::filesystem::copy_file(dir / "lib/Nose/n1.mwo", dir / "lib/Nose/gone.mwo");
        text.replace(text.find("\\Nose\\n2.mwo"), 12, "\\Nose\\gone.mwo");
        std::ofstream(dir / "gone.mwp", std::ios::binary) << text;
        Answer(dir / "gone.mwp");
        shown->selectedPanel = kHeadRow;
        page.Click(kIdLoadProject);
        EXPECT_EQ(creature->parts.Count(), 2);
        EXPECT_EQ(lists.Selection(nose), -1);
        EXPECT_EQ(shown->selectedPanel, -1) << "every part was loaded anew, none is selected";
    });
}

TEST_F(ProjectPanelTest, FailedSaveOrLoadIsReportedAndChangesNothing) {
    WithPages([&](MemoryWindow& page, MemoryWindow& lists) {
        lists.ChooseEntry(PartSelectionPanel::ListId(kNoseRow), 1);
        shown->selectedPanel = kNoseRow;
        Answer(dir / "missing folder" / "figure.mwp");
        page.Click(kIdSaveProject);
        Answer(dir / "no such project.mwp");
        page.Click(kIdLoadProject);
        ASSERT_EQ(platform.messages.size(), 2u);
        for (const auto& m : platform.messages) {
            EXPECT_EQ(m.caption, "Error!");
            EXPECT_EQ(m.icon, ui::Icon::Exclamation);
        }
        EXPECT_EQ(creature->parts.Count(), 1);
        EXPECT_EQ(lists.Selection(PartSelectionPanel::ListId(kNoseRow)), 1);
        EXPECT_EQ(shown->selectedPanel, kNoseRow);
        EXPECT_FALSE(std::filesystem::exists(dir / "missing folder"));
    });
}

TEST_F(ProjectPanelTest, ExportTypeAndExtensionComeFromTheFilterPicked) {
    const struct {
        int type;
        const char* chosen;
        const char* written;
        const char* start;  // the file's first bytes
    } cases[] = {
        {kExport3ds, "figure", "figure.3ds", "MM"},          {kExport3ds, "figure.dxf", "figure.dxf.3ds", "MM"},
        {kExport3ds, "FIGURE.3DS", "FIGURE.3DS", "MM"},      {kExportDxf, "FIGURE.DXF", "FIGURE.DXF.dxf", "0\r\nSECTION"},
        {kExportDxf, "plan.dxf", "plan.dxf", "0\r\nSECTION"}, {kExportDxf, "plan.3ds", "plan.3ds.dxf", "0\r\nSECTION"},
        {kExportGlb, "scene", "scene.glb", "glTF"},           {kExportGlb, "SCENE.GLB", "SCENE.GLB", "glTF"},
        {kExportObj, "mesh.Obj", "mesh.Obj", "# "},           {kExportObj, "mesh.stl", "mesh.stl.obj", "# "},
        {kExportStl, "print", "print.stl", "Morphwright"},    {kExportStl, "PRINT.STL", "PRINT.STL", "Morphwright"},
    };
    for (const auto& c : cases) EXPECT_EQ(ExportPath(c.chosen, c.type), c.written) << c.chosen;
    WithPages([&](MemoryWindow& page, MemoryWindow& lists) {
        lists.ChooseEntry(PartSelectionPanel::ListId(kNoseRow), 1);
        for (const auto& c : cases) {
            Answer(dir / c.chosen, c.type);
            ASSERT_TRUE(page.Click(kIdSaveCreature));
            const std::string bytes = ReadAll(dir / c.written);
            EXPECT_EQ(bytes.substr(0, std::string(c.start).size()), c.start) << c.written;
            EXPECT_EQ(platform.messages.back().text, "Saved");
            std::filesystem::remove(dir / c.written);
        }
    });
}

// Type i of the dialog is row i of the mesh export table: its filter
// pattern, the extension a bare name gets and the writer.
TEST_F(ProjectPanelTest, EveryMeshExportIsATypeOfTheDialog) {
    WithPages([&](MemoryWindow& page, MemoryWindow& lists) {
        lists.ChooseEntry(PartSelectionPanel::ListId(kNoseRow), 1);
        for (std::size_t type = 1; type <= formats::kMeshExports.size(); ++type) {
            const std::string extension = formats::kMeshExports[type - 1].extension;
            Answer(dir / "figure", static_cast<int>(type));
            ASSERT_TRUE(page.Click(kIdSaveCreature));
            EXPECT_TRUE(std::filesystem::exists(dir / ("figure" + extension))) << extension;
            EXPECT_EQ(platform.messages.back().text, "Saved");
            // The filter's labels and patterns alternate: the pattern of type i is item 2i.
            std::istringstream filter(platform.fileDialogRequests.back().filter);
            std::string item;
            for (std::size_t i = 0; i < 2 * type; ++i) std::getline(filter, item, '|');
            EXPECT_EQ(item, "*" + extension);
        }
    });
}

TEST_F(ProjectPanelTest, TypeNamesShowOnlyInTheFileAndAreRestoredEvenAfterAFailure) {
    WithPages([&](MemoryWindow& page, MemoryWindow& lists) {
        lists.ChooseEntry(PartSelectionPanel::ListId(kNoseRow), 1);
        Answer(dir / "plain.3ds");
        page.Click(kIdSaveCreature);
        EXPECT_EQ(ReadAll(dir / "plain.3ds").find("Nose_Skin"), std::string::npos);
        ASSERT_TRUE(page.Click(kIdTypeNames));
        Answer(dir / "typed.3ds");
        page.Click(kIdSaveCreature);
        EXPECT_NE(ReadAll(dir / "typed.3ds").find("Nose_Skin"), std::string::npos);
        EXPECT_EQ(creature->PartAt(0)->surfaces[0].name, "Skin");
        Answer(dir / "missing folder" / "typed.3ds");
        page.Click(kIdSaveCreature);
        EXPECT_EQ(platform.messages.back().text, "Coudln't open file for saving!");
        EXPECT_EQ(creature->PartAt(0)->surfaces[0].name, "Skin");
    });
}

// The library's unit sizes the modern formats; a wrong one is said, and the
// figure goes out with one unit as one metre.
TEST_F(ProjectPanelTest, SaveCreatureTakesTheLibrarysUnit) {
    WithPages([&](MemoryWindow& page, MemoryWindow& lists) {
        lists.ChooseEntry(PartSelectionPanel::ListId(kNoseRow), 1);
        const auto heightOf = [&](const char* unit) {
            std::ofstream(dir / "lib/library.cfg", std::ios::binary) << unit;
            Answer(dir / "print.stl", kExportStl);
            page.Click(kIdSaveCreature);
            const std::vector<float> corners = testsupport::StlCorners(ReadAll(dir / "print.stl"));
            float high = 0;
            for (std::size_t z = 2; z < corners.size(); z += 3) high = std::max(high, corners[z]);
            return high;
        };
        const float metre = heightOf("");
        EXPECT_GT(metre, 0);
        EXPECT_EQ(heightOf("MetresPerUnit 2\r\n"), 2 * metre);
        EXPECT_EQ(platform.messages.back().text, "Saved");
        EXPECT_EQ(heightOf("MetresPerUnit zero\r\n"), metre);
        const auto& said = platform.messages[platform.messages.size() - 2];
        EXPECT_EQ(said.text, "library.cfg: MetresPerUnit zero: not a size above 0. The figure is exported with one "
                             "unit as one metre.");
        EXPECT_EQ(said.caption, "Error!");
    });
}

TEST_F(ProjectPanelTest, AboutBoxOpensItsLinksAndCloses) {
    WithPages([&](MemoryWindow& page, MemoryWindow&) {
        platform.modalScripts.push_back([](MemoryWindow& about) {
            EXPECT_EQ(about.Caption(), "About Morphwright 1.6");
            for (int id : {1077, 1078, 1079, 1080}) about.Click(id);
            about.Click(ui::kIdOk);
        });
        ASSERT_TRUE(page.Click(kIdAbout));
        const std::vector<std::string> expected = {"https://www.example.org/", "mailto:info@example.org",
                                                   "mailto:help@example.org", "mailto:dev@example.org"};
        EXPECT_EQ(platform.shellOpened, expected);
        EXPECT_TRUE(platform.messages.empty());
    });
}

}  // namespace
}  // namespace panels
