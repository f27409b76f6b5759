// Mirrored left/right editing through the main window on the in-memory
// platform: with the Edit page's box on, every change of a part on one side
// reaches the part of the same kind on the other side, mirrored in X, in the
// same undo step; the Main page chooses same-named files for both sides; the
// box's state lives in mw.cfg.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../panels/temp_dir.h"
#include "app/application.h"
#include "app/main_window.h"
#include "formats/object_writer.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "panels/part_parameter_panel.h"
#include "panels/part_selection_panel.h"
#include "resources/templates.h"
#include "ui/memory/memory_platform.h"
#include "view/creature_view.h"

namespace app {
namespace {

using namespace resources;
using panels::PartSelectionPanel;
using ui::memory::MemoryPlatform;
using ui::memory::MemoryWindow;

constexpr int kUpperBody = 8;
constexpr int kLeftArm = 9;
constexpr int kRightArm = 12;
// Panel indices of each left part of the arms and legs and its right part.
constexpr int kPairs[6][2] = {{9, 12}, {10, 13}, {11, 14}, {16, 19}, {17, 20}, {18, 21}};

// A strip of quads over the points (taken in pairs) with the given seams.
formats::ObjectFileData Strip(std::vector<float> points, std::vector<std::vector<std::uint16_t>> seams) {
    formats::ObjectFileData d;
    d.points = std::move(points);
    d.normals.assign(d.points.size(), 0.5f);
    for (std::uint16_t i = 0; 3 * (i + 4u) <= d.points.size(); i += 2) {
        d.polygons.push_back({i, static_cast<std::uint16_t>(i + 1), static_cast<std::uint16_t>(i + 3),
                              static_cast<std::uint16_t>(i + 2), 0});
    }
    d.surfaces = {formats::ObjectSurface{"Skin", true, {200, 150, 120}}};
    for (std::size_t k = 0; k < seams.size(); ++k) d.boundaryLists[k] = seams[k];
    return d;
}

// A left part, not symmetric in X, with a seam at either end.
formats::ObjectFileData SidePart(int seed) {
    std::vector<float> p;
    for (int i = 0; i < 8; ++i) {
        const float t = static_cast<float>(i + 3 * seed);
        p.insert(p.end(), {-0.1f - 0.05f * i - 0.02f * std::sin(t), 0.04f * std::cos(2 * t) - 0.03f * (i / 2),
                           0.03f * std::sin(3 * t)});
    }
    return Strip(p, {{0, 1}, {6, 7}});
}

// Its mirror image in X: a right part.
formats::ObjectFileData Mirrored(formats::ObjectFileData d) {
    for (std::size_t i = 0; i < d.points.size(); i += 3) d.points[i] = -d.points[i], d.normals[i] = -d.normals[i];
    for (model::Polygon& q : d.polygons) std::swap(q.b, q.d);  // the mirror turns the winding
    return d;
}

// Symmetric in X; its seam to the left arm (1) mirrors the one to the right arm (3) entry by entry.
formats::ObjectFileData UpperBody() {
    return Strip({-0.1f, -0.3f, 0, 0.1f, -0.3f, 0, -0.3f, 0.2f, 0.05f, -0.3f, 0.1f, -0.05f,  //
                  -0.05f, 0.4f, 0, 0.05f, 0.4f, 0, 0.3f, 0.2f, 0.05f, 0.3f, 0.1f, -0.05f},
                 {{0, 1}, {2, 3}, {4, 5}, {6, 7}});
}

void Write(const std::filesystem::path& lib, int panel, const std::string& file, const formats::ObjectFileData& d) {
    const std::filesystem::path folder = lib / std::string(model::panelOrder[static_cast<std::size_t>(panel)]);
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(formats::WriteObjectFile((folder / file).string(), d));
}

// The file a panel's part was read from; empty for an empty slot.
std::string FileOf(const MainWindow& mw, int panel) {
    const model::MeshObject* part = mw.creature->PartOfPanel(panel);
    return part == nullptr ? "" : std::filesystem::path(part->objectName).filename().string();
}

// Every part bit for bit, and what the Main page's lists show.
std::string Snapshot(const MainWindow& mw, MemoryWindow& main) {
    std::string all;
    for (const model::MeshObject& part : mw.creature->parts) {
        all += part.objectName + '\n';
        all.append(reinterpret_cast<const char*>(&part.settings), sizeof part.settings);
        all.append(reinterpret_cast<const char*>(part.points.data()), part.points.size() * sizeof(float));
    }
    for (int row = 0; row < model::kPartTypeCount; ++row) {
        all += std::to_string(main.Selection(PartSelectionPanel::ListId(row))) + ',';
    }
    return all;
}

std::int32_t MirroredMode(int axis, std::int32_t m) { return axis == 0 && m != 0 ? 3 - m : m; }

// The right part is the left one mirrored in X: its points, and its settings
// with the positive and negative halves of X exchanged.
::testing::AssertionResult IsMirrorImage(const model::MeshObject& left, const model::MeshObject& right) {
    if (left.points.size() != right.points.size()) return ::testing::AssertionFailure() << "point counts differ";
    for (std::size_t i = 0; i < left.points.size(); ++i) {
        const float want = i % 3 == 0 ? -left.points[i] : left.points[i];
        if (std::fabs(right.points[i] - want) > 1e-5f * std::max(1.0f, std::fabs(want)))
            return ::testing::AssertionFailure() << "coordinate " << i << ": " << right.points[i] << " for " << want;
    }
    const model::PartSettings& l = left.settings;
    const model::PartSettings& r = right.settings;
    for (int a = 0; a < 3; ++a) {
        bool same = r.lockModes[a] == MirroredMode(a, l.lockModes[a]) && r.sliderSteps[a] == l.sliderSteps[a];
        for (int m = 0; m < 3; ++m) {
            same = same && r.deformFactors[MirroredMode(a, m)][a] == l.deformFactors[m][a] &&
                   r.sliderPositions[MirroredMode(a, m)][a] == l.sliderPositions[m][a];
        }
        if (!same) return ::testing::AssertionFailure() << "settings of axis " << a;
    }
    return ::testing::AssertionSuccess();
}

class MirrorEditTest : public testlib::TempDirTest {
protected:
    void WriteConfigText(const std::string& text) { std::ofstream(dir / "mw.cfg", std::ios::binary) << text; }

    template <typename Script>
    void Run(Script script) {
        MainWindow mainWindow(platform);
        platform.modalScript = [&](MemoryWindow& w) { script(mainWindow, w); };
        mainWindow.Run();
    }

    static MemoryWindow* Page(MemoryWindow& w, int templateId) {
        for (auto* child : w.Children()) {
            if (child->TemplateId() == templateId) return child;
        }
        return nullptr;
    }

    MemoryPlatform platform;
};

enum Action { kLock, kDrag, kClick, kValue, kStep };
struct Edit {
    int panel;
    Action action;
    int axis;
    int arg;  // lock mode, where a drag ends, or a click's scroll code
    const char* text = "";
};

TEST_F(MirrorEditTest, EveryEditOfEitherSideReachesTheOtherMirroredAndOneUndoTakesBothBack) {
    const std::filesystem::path lib = dir / "lib";
    Write(lib, kUpperBody, "body.mwo", UpperBody());
    for (const auto& pair : kPairs) {
        Write(lib, pair[0], "one.mwo", SidePart(pair[0]));
        Write(lib, pair[1], "one.mwo", Mirrored(SidePart(pair[0])));
    }
    WriteConfigText("ObjectDir " + lib.string() + "\n");
    const Edit edits[] = {
        {9, kLock, 0, model::kLockPositive},
        {9, kDrag, 0, -12},
        {12, kLock, 0, model::kLockPositive},  // the left arm's X goes to Negative
        {12, kClick, 0, ui::kScrollPageRight},
        {12, kValue, 0, 0, "0.35"},
        {10, kStep, 1, 0, "0.05"},
        {10, kClick, 1, ui::kScrollLineLeft},
        {13, kValue, 2, 0, "-0.4"},
        {11, kLock, 0, model::kLockNegative},
        {11, kClick, 0, ui::kScrollPageLeft},
        {19, kLock, 2, model::kLockNegative},
        {19, kDrag, 2, 7},
        {17, kLock, 0, model::kLockNegative},
        {17, kValue, 0, 0, "-0.2"},
        {21, kStep, 0, 0, "0.03"},
        {21, kClick, 0, ui::kScrollLineRight},
        {18, kDrag, 1, -9},
        {kUpperBody, kValue, 1, 0, "0.1"},  // no side: edited alone, the figure stays mirrored
    };
    Run([&](MainWindow& mw, MemoryWindow& w) {
        MemoryWindow* main = Page(w, kPartSelectionTemplate);
        MemoryWindow* edit = Page(w, kPartParameterTemplate);
        ASSERT_TRUE(main != nullptr && edit != nullptr);
        for (int row : {kUpperBody, 9, 10, 11, 12, 13, 14, 16, 17, 18, 19, 20, 21})
            ASSERT_TRUE(main->ChooseEntry(PartSelectionPanel::ListId(row), 1));
        w.SelectTab(kIdTabStrip, 3);
        ASSERT_TRUE(edit->Click(panels::kIdMirrorEdit));
        std::vector<std::string> before;
        for (const Edit& e : edits) {
            const panels::AxisControls& c = panels::kAxisControls[e.axis];
            const int field = e.action == kValue ? c.valueField : c.stepField;
            ASSERT_TRUE(edit->ChooseEntry(panels::kIdObjectList, e.panel + 1));
            before.push_back(Snapshot(mw, *main));
            const std::size_t n = before.size() - 1;
            if (e.action == kLock) edit->Click(c.lockButtons[e.arg]);
            for (int p = 1; e.action == kDrag && p <= std::abs(e.arg); ++p)
                edit->Scroll(c.adjustBar, ui::kScrollThumbTrack, e.arg < 0 ? -p : p);
            if (e.action == kDrag) edit->Scroll(c.adjustBar, ui::kScrollThumbPosition, e.arg);
            if (e.action == kClick) edit->Scroll(c.adjustBar, e.arg, 0);
            if (e.action == kDrag || e.action == kClick) edit->Scroll(c.adjustBar, ui::kScrollEnd, 0);
            if (e.action == kValue || e.action == kStep) edit->TypeText(field, e.text), edit->LoseFocus(field);
            ASSERT_EQ(mw.steps.history.StepCount(), 13 + n + 1) << "one step for edit " << n;
            EXPECT_EQ(edit->Selection(panels::kIdObjectList), e.panel + 1) << "edit " << n;
            EXPECT_EQ(mw.view->state.selectedPanel, e.panel) << "edit " << n;
            for (const auto& pair : kPairs) {
                ASSERT_TRUE(IsMirrorImage(*mw.creature->PartOfPanel(pair[0]), *mw.creature->PartOfPanel(pair[1])))
                    << "edit " << n << ", panel " << pair[0];
            }
        }
        for (std::size_t n = before.size(); n-- > 0;) {
            ASSERT_TRUE(w.Click(kIdUndo));
            ASSERT_EQ(Snapshot(mw, *main), before[n]) << "undo of edit " << n;
        }
        EXPECT_TRUE(platform.messages.empty());
    });
}

struct Choice {
    int row;
    int entry;     // chosen in the row's list; -1: a click of a step button
    bool forward;  // which step button
    const char* left;
    const char* right;
};

TEST_F(MirrorEditTest, AFileChosenOnMainForOneSideChoosesTheSameNameOnTheOther) {
    const std::filesystem::path lib = dir / "lib";
    Write(lib, kUpperBody, "body.mwo", UpperBody());
    int seed = 0;
    for (const char* file : {"Alpha.mwo", "beta.mwo", "solo.mwo"}) Write(lib, kLeftArm, file, SidePart(++seed));
    // Other letter cases, and a name first in the list that the left side lacks.
    for (const char* file : {"aardvark.mwo", "ALPHA.MWO", "BETA.mwo"})
        Write(lib, kRightArm, file, Mirrored(SidePart(++seed)));
    WriteConfigText("ObjectDir " + lib.string() + "\nMirrorEdit 1\n");
    const Choice choices[] = {
        {kLeftArm, 1, false, "Alpha.mwo", "ALPHA.MWO"},
        {kRightArm, -1, true, "beta.mwo", "BETA.mwo"},
        {kLeftArm, 3, false, "solo.mwo", "BETA.mwo"},  // no such file on the right: it stays
        {kRightArm, -1, false, "Alpha.mwo", "ALPHA.MWO"},
        {kRightArm, 1, false, "Alpha.mwo", "aardvark.mwo"},  // nor on the left
        {kLeftArm, 0, false, "", ""},                        // " (none) " takes out both
    };
    Run([&](MainWindow& mw, MemoryWindow& w) {
        MemoryWindow* main = Page(w, kPartSelectionTemplate);
        MemoryWindow* edit = Page(w, kPartParameterTemplate);
        ASSERT_TRUE(main != nullptr && edit != nullptr);
        ASSERT_TRUE(main->ChooseEntry(PartSelectionPanel::ListId(kUpperBody), 1));
        std::vector<std::string> before;
        for (const Choice& c : choices) {
            before.push_back(Snapshot(mw, *main));
            ASSERT_TRUE(c.entry >= 0 ? main->ChooseEntry(PartSelectionPanel::ListId(c.row), c.entry)
                                     : main->Click(PartSelectionPanel::StepButtonId(c.row, c.forward)));
            EXPECT_EQ(FileOf(mw, kLeftArm), c.left);
            EXPECT_EQ(FileOf(mw, kRightArm), c.right);
        }
        ASSERT_EQ(mw.steps.history.StepCount(), 1 + before.size());
        for (std::size_t n = before.size(); n-- > 0;) {
            ASSERT_TRUE(w.Click(kIdUndo));
            ASSERT_EQ(Snapshot(mw, *main), before[n]) << "undo of choice " << n;
        }
        // With the box off only the side chosen changes.
        ASSERT_TRUE(edit->Click(panels::kIdMirrorEdit));
        ASSERT_TRUE(main->ChooseEntry(PartSelectionPanel::ListId(kLeftArm), 2));
        EXPECT_EQ(FileOf(mw, kLeftArm), "beta.mwo");
        EXPECT_EQ(FileOf(mw, kRightArm), "");
        EXPECT_TRUE(platform.messages.empty());
    });
}

TEST_F(MirrorEditTest, TheBoxShowsAndKeepsMirrorEditInTheConfigFile) {
    struct Case {
        const char* config;
        bool shown;
        int clicks;
        const char* written;
    };
    const Case cases[] = {
        {"", false, 0, "MirrorEdit 0\r\n"},
        {"MirrorEdit 1\n", true, 0, "MirrorEdit 1\r\n"},
        {"MirrorEdit 1\n", true, 1, "MirrorEdit 0\r\n"},
        {"MirrorEdit 0\n", false, 3, "MirrorEdit 1\r\n"},
    };
    for (const Case& c : cases) {
        WriteConfigText(c.config);
        platform.modalScript = [&](MemoryWindow& w) {
            MemoryWindow* edit = Page(w, kPartParameterTemplate);
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(edit->IsChecked(panels::kIdMirrorEdit), c.shown) << c.config;
            for (int k = 0; k < c.clicks; ++k) edit->Click(panels::kIdMirrorEdit);
            // In the page's free room, below every control of its template.
            const ui::Rect box = edit->ControlGeometry(panels::kIdMirrorEdit);
            for (const ui::ControlTemplate& t : edit->Template().controls)
                EXPECT_GE(box.y, ui::DialogUnitsToPixels(t.rect).y + ui::DialogUnitsToPixels(t.rect).height);
            EXPECT_LE(box.y + box.height, ui::DialogUnitsToPixelsY(edit->Template().height));
            w.Click(ui::kIdOk);
        };
        RunApplication(platform);
        EXPECT_NE(testlib::ReadAll(dir / "mw.cfg").find(c.written), std::string::npos) << c.config;
    }
}

}  // namespace
}  // namespace app
