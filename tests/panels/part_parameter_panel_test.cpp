// The "Edit BodyParts" page on the in-memory platform, on a figure of an
// upper body and a left arm from a library written by the test: choosing a
// part, the adjust bars' scroll codes and factor sums, the lock modes, the
// number fields, and a part that goes away while it is chosen.
#include <gtest/gtest.h>

#include <cmath>

#include "../model/part_builder.h"
#include "formats/c_number.h"
#include "formats/object_reader.h"
#include "model/creature.h"
#include "panels/part_parameter_panel.h"
#include "resources/templates.h"
#include "temp_dir.h"
#include "tiny_library.h"
#include "ui/memory/memory_platform.h"
#include "view/creature_view.h"

namespace panels {
namespace {

using ui::memory::MemoryPlatform;
using ui::memory::MemoryWindow;

constexpr int kUpperBodyEntry = 9;  // panel index 8, after "(none)"
constexpr int kLeftArmEntry = 10;
constexpr int kHeadEntry = 1;
constexpr int kSeam = 1;  // the arm's list 1 meets the upper body's list 1
const AxisControls& X = kAxisControls[0];

class Host : public ui::WindowHandler {};

class PartParameterTest : public testlib::TempDirTest {
protected:
    // Runs `body` with the page created and the figure built.
    template <typename Body>
    void WithPanel(Body body) {
        testlib::MakeTinyLibrary(dir / "lib", {{"Upper body", {"body.mwo"}}, {"Left arm", {"arm.mwo"}}}, {});
        model::Creature figure(platform);
        view::CreatureView view(platform);
        PartParameterPanel page;
        Host host;
        creature = &figure;
        panel = &page;
        ASSERT_TRUE(formats::SetPartFromFile(figure, "Upper body", (dir / "lib/Upper body/body.mwo").string(), 8));
        ASSERT_TRUE(formats::SetPartFromFile(figure, "Left arm", (dir / "lib/Left arm/arm.mwo").string(), 9));
        body_ = figure.PartAt(0);
        arm_ = figure.PartAt(1);
        platform.modalScript = [&](MemoryWindow& w) {
            viewWindow = static_cast<MemoryWindow*>(platform.CreateGlView(resources::ViewTemplate(), view, w));
            view.creature = &figure;
            w_ = static_cast<MemoryWindow*>(
                platform.CreateChildDialog(resources::PartParameterTemplate(), page, w, 0));
            ASSERT_NE(w_, nullptr);
            page.creature = &figure;
            page.view = &view;
            body(*w_);
        };
        platform.RunModal({1, "host", 400, 400, false, {}}, host, nullptr);
        EXPECT_TRUE(platform.messages.empty());
    }

    // The state the page should show for nothing chosen.
    void ExpectReset(MemoryWindow& w) {
        for (const AxisControls& axis : kAxisControls) {
            EXPECT_EQ(w.Text(axis.valueField), "0.0");
            EXPECT_EQ(w.Text(axis.stepField), "0.01");
            EXPECT_EQ(w.GetScrollInfo(axis.adjustBar).pos, 0);
            EXPECT_TRUE(w.IsEnabled(axis.lockButtons[0]));
            for (int id : {axis.lockButtons[1], axis.lockButtons[2], axis.valueField, axis.stepField, axis.adjustBar}) {
                EXPECT_FALSE(w.IsEnabled(id)) << id;
            }
        }
        EXPECT_EQ(SelectedPart(), nullptr);
    }

    // The part the view outlines.
    const model::MeshObject* SelectedPart() const { return creature->PartOfPanel(panel->view->state.selectedPanel); }

    static std::string Fixed(float v) { return formats::FormatFixed(v); }
    float ArmX() const { return arm_->points[3 * 2]; }  // a corner off the seam

    MemoryPlatform platform;
    model::Creature* creature = nullptr;
    PartParameterPanel* panel = nullptr;
    MemoryWindow* viewWindow = nullptr;
    MemoryWindow* w_ = nullptr;
    model::MeshObject* body_ = nullptr;
    model::MeshObject* arm_ = nullptr;
};

TEST_F(PartParameterTest, ObjectListAndStartState) {
    WithPanel([&](MemoryWindow& w) {
        ASSERT_EQ(w.EntryCount(kIdObjectList), 23);
        EXPECT_EQ(w.EntryText(kIdObjectList, 0), "(none)");
        EXPECT_EQ(w.EntryText(kIdObjectList, kLeftArmEntry), "Left arm");
        EXPECT_EQ(w.EntryText(kIdObjectList, 22), "Right foot");
        EXPECT_EQ(w.Selection(kIdObjectList), 0);
        EXPECT_EQ(w.GetScrollInfo(X.adjustBar).min, -50);
        EXPECT_EQ(w.GetScrollInfo(X.adjustBar).max, 50);
        ExpectReset(w);
    });
}

TEST_F(PartParameterTest, ChoosingAPartShowsItsSettingsAndNoneOrAnEmptySlotResets) {
    WithPanel([&](MemoryWindow& w) {
        // X None, Y Positive, Z Negative: each group shows its own mode's values.
        const int modes[3] = {0, 1, 2};
        for (int a = 0; a < 3; ++a) {
            arm_->settings.lockModes[a] = modes[a];
            arm_->settings.sliderSteps[a] = 0.5f + static_cast<float>(a);
            for (int m = 0; m < 3; ++m) {
                arm_->settings.sliderPositions[m][a] = 10 * m + a;
                arm_->settings.deformFactors[m][a] = 0.1f * static_cast<float>(m + 1) + static_cast<float>(a);
            }
        }
        const int repaints = viewWindow->invalidateCount;
        ASSERT_TRUE(w.ChooseEntry(kIdObjectList, kLeftArmEntry));
        EXPECT_EQ(SelectedPart(), arm_);
        EXPECT_GT(viewWindow->invalidateCount, repaints);
        for (int a = 0; a < 3; ++a) {
            const AxisControls& axis = kAxisControls[a];
            const int m = modes[a];
            for (int k = 0; k < 3; ++k) EXPECT_EQ(w.IsChecked(axis.lockButtons[k]), k == m) << a << k;
            for (int id : {axis.lockButtons[1], axis.lockButtons[2], axis.valueField, axis.stepField, axis.adjustBar}) {
                EXPECT_TRUE(w.IsEnabled(id)) << id;
            }
            EXPECT_EQ(w.Text(axis.stepField), Fixed(arm_->settings.sliderSteps[a]));
            EXPECT_EQ(w.GetScrollInfo(axis.adjustBar).pos, arm_->settings.sliderPositions[m][a]);
            EXPECT_EQ(w.Text(axis.valueField), Fixed(arm_->settings.deformFactors[m][a]));
        }
        EXPECT_EQ(w.Text(X.stepField), "0.500000");

        w.ChooseEntry(kIdObjectList, 0);
        ExpectReset(w);
        w.ChooseEntry(kIdObjectList, kLeftArmEntry);
        w.ChooseEntry(kIdObjectList, kHeadEntry);  // no head in the figure
        ExpectReset(w);
    });
}

TEST_F(PartParameterTest, StepButtonsStopAtBothEnds) {
    WithPanel([&](MemoryWindow& w) {
        w.Click(kIdPreviousPart);
        EXPECT_EQ(w.Selection(kIdObjectList), 0);
        w.SetSelection(kIdObjectList, kUpperBodyEntry);
        w.Click(kIdNextPart);
        EXPECT_EQ(w.Selection(kIdObjectList), kLeftArmEntry);
        EXPECT_EQ(SelectedPart(), arm_);
        w.Click(kIdPreviousPart);
        EXPECT_EQ(SelectedPart(), body_);
        w.SetSelection(kIdObjectList, 22);
        w.Click(kIdNextPart);
        EXPECT_EQ(w.Selection(kIdObjectList), 22);
        ExpectReset(w);  // "Right foot" is not in the figure
    });
}

TEST_F(PartParameterTest, EachScrollCodeMovesTheBarAndSumsTheFactorInSinglePrecision) {
    struct Case {
        int code;
        int thumb;
        int expected;  // position, from 3
    };
    const Case cases[] = {
        {ui::kScrollLineLeft, 0, 2},         {ui::kScrollLineRight, 0, 4},   {ui::kScrollPageLeft, 0, -1},
        {ui::kScrollPageRight, 0, 7},        {ui::kScrollThumbTrack, -17, -17}, {ui::kScrollThumbPosition, 40, 3},
        {ui::kScrollEnd, 0, 3},              {ui::kScrollLeft, 0, 3},         {ui::kScrollRight, 0, 3},
    };
    WithPanel([&](MemoryWindow& w) {
        w.ChooseEntry(kIdObjectList, kLeftArmEntry);
        for (const Case& c : cases) {
            arm_->settings.sliderPositions[0][0] = 3;
            arm_->settings.deformFactors[0][0] = 0.25f;
            arm_->settings.sliderSteps[0] = 0.03f;
            const float before = ArmX();
            ASSERT_TRUE(w.Scroll(X.adjustBar, c.code, c.thumb));
            const float factor = static_cast<float>(3 - c.expected) * 0.03f + 0.25f;
            EXPECT_EQ(arm_->settings.sliderPositions[0][0], c.expected) << c.code;
            EXPECT_EQ(arm_->settings.deformFactors[0][0], factor) << c.code;
            EXPECT_EQ(w.GetScrollInfo(X.adjustBar).pos, c.expected) << c.code;
            EXPECT_EQ(w.Text(X.valueField), Fixed(factor)) << c.code;
            // The shape follows the factor; the welded seam stays closed.
            if (c.expected != 3) {
                EXPECT_NE(ArmX(), before) << c.code;
            }
            EXPECT_TRUE(testdata::SeamClosed(*arm_, kSeam, *body_, kSeam)) << c.code;
        }
        // Other modes and axes are untouched.
        EXPECT_EQ(arm_->settings.deformFactors[1][0], 0.0f);
        EXPECT_EQ(arm_->settings.deformFactors[0][1], 0.0f);
    });
}

TEST_F(PartParameterTest, ClicksPastTheEndKeepCountingAndTheNextDragComesBack) {
    WithPanel([&](MemoryWindow& w) {
        w.ChooseEntry(kIdObjectList, kLeftArmEntry);
        w.Scroll(X.adjustBar, ui::kScrollThumbTrack, 50);
        const float atEnd = arm_->settings.deformFactors[0][0];
        EXPECT_EQ(atEnd, -50 * 0.01f);
        for (int i = 0; i < 3; ++i) w.Scroll(X.adjustBar, ui::kScrollLineRight, 0);
        EXPECT_EQ(arm_->settings.sliderPositions[0][0], 53);
        EXPECT_EQ(w.GetScrollInfo(X.adjustBar).pos, 50);  // the thumb stays at the end
        float expected = atEnd;
        for (int i = 0; i < 3; ++i) expected = -1.0f * 0.01f + expected;
        EXPECT_EQ(arm_->settings.deformFactors[0][0], expected);
        // The first drag message puts the stored position back under the thumb.
        w.Scroll(X.adjustBar, ui::kScrollThumbTrack, 50);
        EXPECT_EQ(arm_->settings.sliderPositions[0][0], 50);
        EXPECT_EQ(arm_->settings.deformFactors[0][0], 3.0f * 0.01f + expected);
        // Far below the range, from a project file: no overflow, still counting.
        arm_->settings.sliderPositions[0][0] = -2147483647;
        w.Scroll(X.adjustBar, ui::kScrollPageLeft, 0);
        EXPECT_EQ(arm_->settings.sliderPositions[0][0], -2147483647 - 1);
        EXPECT_EQ(w.GetScrollInfo(X.adjustBar).pos, -50);
    });
}

TEST_F(PartParameterTest, EachLockModeKeepsItsOwnPositionAndFactor) {
    WithPanel([&](MemoryWindow& w) {
        w.ChooseEntry(kIdObjectList, kLeftArmEntry);
        const int bumps[3] = {2, 5, -3};
        for (int m = 0; m < 3; ++m) {
            ASSERT_TRUE(w.Click(X.lockButtons[m]));
            for (int k = 0; k < 3; ++k) EXPECT_EQ(w.IsChecked(X.lockButtons[k]), k == m);
            EXPECT_EQ(arm_->settings.lockModes[0], m);
            EXPECT_EQ(w.GetScrollInfo(X.adjustBar).pos, 0);
            w.Scroll(X.adjustBar, ui::kScrollThumbTrack, bumps[m]);
        }
        const float shape = ArmX();
        for (int m : {0, 2, 1}) {
            w.Click(X.lockButtons[m]);
            EXPECT_EQ(w.GetScrollInfo(X.adjustBar).pos, bumps[m]);
            EXPECT_EQ(w.Text(X.valueField), Fixed(static_cast<float>(-bumps[m]) * 0.01f + 0.0f));
            EXPECT_EQ(arm_->settings.sliderPositions[m][0], bumps[m]);
        }
        EXPECT_EQ(ArmX(), shape);  // switching modes does not recompute the part
    });
}

TEST_F(PartParameterTest, ALockModeNoButtonStandsForIndexesNothing) {
    WithPanel([&](MemoryWindow& w) {
        for (int mode : {3, -1, 1 << 30}) {
            arm_->settings.lockModes[0] = mode;
            arm_->settings.sliderPositions[0][0] = 9;
            arm_->settings.deformFactors[0][0] = 0.5f;
            w.ChooseEntry(kIdObjectList, 0);
            w.ChooseEntry(kIdObjectList, kLeftArmEntry);
            EXPECT_EQ(w.GetScrollInfo(X.adjustBar).pos, 0);
            EXPECT_EQ(w.Text(X.valueField), "0.000000");
            // The bar starts from 0 and a factor of 0, and stores nothing.
            w.Scroll(X.adjustBar, ui::kScrollLineRight, 0);
            EXPECT_EQ(w.GetScrollInfo(X.adjustBar).pos, 1);
            EXPECT_EQ(w.Text(X.valueField), Fixed(-0.01f));
            w.TypeText(X.valueField, "7");
            w.LoseFocus(X.valueField);
            EXPECT_EQ(arm_->settings.lockModes[0], mode);
            EXPECT_EQ(arm_->settings.sliderPositions[0][0], 9);
            EXPECT_EQ(arm_->settings.deformFactors[0][0], 0.5f);
            for (int m = 1; m < 3; ++m) EXPECT_EQ(arm_->settings.deformFactors[m][0], 0.0f);
        }
    });
}

TEST_F(PartParameterTest, FieldsAreReadOnLostFocusAsNumbersOrZero) {
    const struct {
        const char* text;
        float value;
    } cases[] = {
        {"0.3", 0.3f}, {"  -2e-1xyz", -0.2f}, {"+1.5", 1.5f}, {".5", 0.5f},  {"abc", 0.0f},
        {"", 0.0f},    {"+-1", 0.0f},         {"1e999", 0.0f}, {"nan", 0.0f}, {"3,7", 3.0f},
        {"1e39", 0.0f},  // past float, within double
    };
    WithPanel([&](MemoryWindow& w) {
        w.ChooseEntry(kIdObjectList, kLeftArmEntry);
        w.Click(X.lockButtons[2]);
        w.Scroll(X.adjustBar, ui::kScrollThumbTrack, 6);
        for (const auto& c : cases) {
            arm_->settings.deformFactors[2][0] = 99.0f;
            ASSERT_TRUE(w.TypeText(X.valueField, c.text));
            ASSERT_TRUE(w.LoseFocus(X.valueField));
            EXPECT_EQ(arm_->settings.deformFactors[2][0], c.value) << c.text;
            EXPECT_EQ(w.Text(X.valueField), c.text);            // left as typed
            EXPECT_EQ(w.GetScrollInfo(X.adjustBar).pos, 6);     // the bar stays
            EXPECT_EQ(arm_->settings.sliderPositions[2][0], 6);
            for (float p : arm_->points) ASSERT_TRUE(std::isfinite(p)) << c.text;
        }
        w.TypeText(X.stepField, "-1e39");
        w.LoseFocus(X.stepField);
        EXPECT_EQ(arm_->settings.sliderSteps[0], 0.0f);
        // A typed value changes the shape at once.
        const float before = ArmX();
        w.TypeText(X.valueField, "-0.8");
        w.LoseFocus(X.valueField);
        EXPECT_NE(ArmX(), before);
        EXPECT_TRUE(testdata::SeamClosed(*arm_, kSeam, *body_, kSeam));

        // A step takes effect at the next bar movement, from the typed factor on.
        const float shape = ArmX();
        w.TypeText(X.stepField, "0.5");
        w.LoseFocus(X.stepField);
        EXPECT_EQ(arm_->settings.sliderSteps[0], 0.5f);
        EXPECT_EQ(ArmX(), shape);
        w.Scroll(X.adjustBar, ui::kScrollLineRight, 0);
        EXPECT_EQ(arm_->settings.deformFactors[2][0], -1.0f * 0.5f + -0.8f);
        w.TypeText(X.stepField, "junk");
        w.LoseFocus(X.stepField);
        EXPECT_EQ(arm_->settings.sliderSteps[0], 0.0f);
    });
}

TEST_F(PartParameterTest, APartRemovedWhileChosenIsNeverTouched) {
    WithPanel([&](MemoryWindow& w) {
        w.ChooseEntry(kIdObjectList, kLeftArmEntry);
        ASSERT_TRUE(creature->SetPart("Left arm", nullptr, 0));
        arm_ = nullptr;  // gone; under the sanitizers any touch is an error
        EXPECT_TRUE(w.Scroll(X.adjustBar, ui::kScrollLineRight, 0));
        EXPECT_EQ(w.GetScrollInfo(X.adjustBar).pos, 0);
        w.TypeText(X.valueField, "2");
        w.LoseFocus(X.valueField);
        w.TypeText(X.stepField, "2");
        w.LoseFocus(X.stepField);
        w.Click(X.lockButtons[1]);
        EXPECT_TRUE(w.IsChecked(X.lockButtons[1]));  // only the checks change
        EXPECT_EQ(body_->settings.deformFactors[0][0], 0.0f);
        w.Click(kIdNextPart);  // "Left forearm": not there either
        EXPECT_EQ(SelectedPart(), nullptr);
    });
}

}  // namespace
}  // namespace panels
