#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "../support/recording_sink.h"
#include "formats/object_library.h"
#include "formats/object_reader.h"
#include "model/creature.h"
#include "model/figure_history.h"
#include "model/part_types.h"

namespace {

const std::string kLibrary = MW_SAMPLE_LIBRARY_DIR;

// Everything a step must put back, bit for bit, in list order.
std::string Fingerprint(const model::Creature& figure) {
    std::string all;
    const auto bytes = [&](const void* data, std::size_t size) { all.append(static_cast<const char*>(data), size); };
    for (const model::MeshObject& part : figure.parts) {
        all += part.objectName + '\n' + part.objectType + '\n';
        bytes(&part.typeId, sizeof part.typeId);
        bytes(&part.panelIndex, sizeof part.panelIndex);
        bytes(&part.settings, sizeof part.settings);
        for (const auto* array : {&part.points, &part.restPoints, &part.normals}) {
            bytes(array->data(), array->size() * sizeof(float));
        }
    }
    return all;
}

class FigureHistoryTest : public ::testing::Test {
protected:
    // One random edit of the kinds the pages make, as one step.
    void RandomEdit(std::mt19937& random) {
        const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        const int panel = pick(model::kPartTypeCount);
        const std::string name(model::panelOrder[static_cast<std::size_t>(panel)]);
        const int kind = pick(4);
        history.Begin(figure, "edit " + std::to_string(kind));
        if (kind == 0 || figure.parts.Count() < 3) {  // a file chosen on "Main"
            const auto files = formats::ObjectFilesOf(kLibrary, name);
            ASSERT_FALSE(files.empty()) << name;
            const std::string path = formats::PartFolder(kLibrary, name) + "/" +
                                     files[static_cast<std::size_t>(pick(static_cast<int>(files.size())))];
            formats::SetPartFromFile(figure, name, path, panel);
        } else if (kind == 1) {  // " (none) "
            figure.SetPart(name, nullptr, panel);
        } else {  // a factor, lock mode or step on "Edit BodyParts"
            model::MeshObject* part = figure.PartAt(pick(figure.parts.Count()));
            const int mode = pick(3);
            const int axis = pick(3);
            part->settings.deformFactors[mode][axis] = static_cast<float>(pick(61) - 30) / 100.0f;
            part->settings.lockModes[axis] = mode;
            part->settings.sliderSteps[axis] = static_cast<float>(1 + pick(5)) / 100.0f;
            figure.ApplyParameters(part);
        }
        history.Commit(figure);
    }

    testsupport::RecordingSink sink;
    model::Creature figure{sink};
    model::FigureHistory history;
};

// A session of edits of every kind, then undo all the way and redo all the
// way: each figure on the way comes back bit for bit; undo, a new edit, and
// nothing is left to redo.
TEST_F(FigureHistoryTest, UndoAndRedoGiveBackEveryFigureOfASessionBitForBit) {
    std::mt19937 random(7);
    std::vector<std::string> seen = {Fingerprint(figure)};
    while (history.StepCount() < 40) {
        RandomEdit(random);
        if (Fingerprint(figure) != seen.back()) seen.push_back(Fingerprint(figure));
    }
    ASSERT_EQ(seen.size(), history.StepCount() + 1);
    for (std::size_t k = seen.size() - 1; k > 0; --k) {
        ASSERT_TRUE(history.Undo(figure));
        ASSERT_EQ(Fingerprint(figure), seen[k - 1]) << "undo to step " << k - 1;
    }
    EXPECT_FALSE(history.Undo(figure));
    for (std::size_t k = 1; k < seen.size(); ++k) {
        ASSERT_TRUE(history.Redo(figure));
        ASSERT_EQ(Fingerprint(figure), seen[k]) << "redo to step " << k;
    }
    EXPECT_FALSE(history.Redo(figure));

    ASSERT_TRUE(history.Undo(figure));
    ASSERT_TRUE(history.CanRedo());
    for (int tries = 0; tries < 20 && history.CanRedo(); ++tries) RandomEdit(random);  // until one changes something
    EXPECT_FALSE(history.CanRedo());
    EXPECT_FALSE(history.Redo(figure));
    EXPECT_TRUE(sink.shown.empty());
}

// A drag's many changes are one step named as it began; a step that changes
// one part's factors keeps that part and the parts welded to it, not the
// figure; no change, no step.
TEST_F(FigureHistoryTest, AStepKeepsWhatItChangedAndOneBeginCoversADrag) {
    for (std::size_t p = 0; p < model::panelOrder.size(); ++p) {
        const std::string name(model::panelOrder[p]);
        const std::string path = formats::PartFolder(kLibrary, name) + "/" + formats::ObjectFilesOf(kLibrary, name)[0];
        ASSERT_TRUE(formats::SetPartFromFile(figure, name, path, static_cast<std::int32_t>(p)));
    }
    const std::string start = Fingerprint(figure);
    history.Begin(figure, "Adjust X of Left forearm");
    EXPECT_FALSE(history.Commit(figure) && history.StepCount() > 0);  // nothing changed
    model::MeshObject* forearm = figure.PartNamed("Left forearm");
    history.Begin(figure, "Adjust X of Left forearm");
    for (int message = 1; message <= 40; ++message) {
        history.Begin(figure, "a later scroll message");
        forearm->settings.deformFactors[model::kLockNone][model::kAxisX] = 0.005f * static_cast<float>(message);
        figure.ApplyParameters(forearm);
    }
    ASSERT_TRUE(history.Commit(figure));
    EXPECT_EQ(history.StepCount(), 1u);
    EXPECT_EQ(history.UndoName(), "Adjust X of Left forearm");

    std::size_t figureBytes = 0;
    std::size_t forearmAndNeighbours = 0;
    for (const model::MeshObject& part : figure.parts) {
        const std::size_t bytes = sizeof(float) * (part.points.size() + part.restPoints.size() + part.normals.size());
        figureBytes += bytes;
        if (part.objectType == "Left forearm" || part.objectType == "Left arm" || part.objectType == "Left hand") {
            forearmAndNeighbours += bytes;
        }
    }
    EXPECT_LT(history.Bytes(), 2 * forearmAndNeighbours);
    EXPECT_LT(history.Bytes(), figureBytes);

    const std::string dragged = Fingerprint(figure);
    ASSERT_TRUE(history.Undo(figure));
    EXPECT_EQ(Fingerprint(figure), start);
    EXPECT_EQ(figure.PartNamed("Left forearm"), forearm);  // the same part, put back in place
    EXPECT_EQ(history.RedoName(), "Adjust X of Left forearm");
    ASSERT_TRUE(history.Redo(figure));
    EXPECT_EQ(Fingerprint(figure), dragged);
}

// The bounds drop the oldest steps and never the newest.
TEST_F(FigureHistoryTest, TheBoundsDropTheOldestStepsFirst) {
    const struct {
        std::size_t maxSteps;
        std::size_t maxBytes;
        std::size_t kept;
    } cases[] = {{5, std::size_t{1} << 30, 5}, {100, 1, 1}};
    for (const auto& c : cases) {
        model::Creature edited(sink);
        model::FigureHistory bounded(c.maxSteps, c.maxBytes);
        std::vector<std::string> seen = {Fingerprint(edited)};
        for (std::size_t p = 0; p < 8; ++p) {
            const std::string name(model::panelOrder[p + 7]);
            bounded.Begin(edited, name);
            const std::string path = formats::PartFolder(kLibrary, name) + "/" + formats::ObjectFilesOf(kLibrary, name)[0];
            ASSERT_TRUE(formats::SetPartFromFile(edited, name, path, static_cast<std::int32_t>(p + 7)));
            ASSERT_TRUE(bounded.Commit(edited));
            seen.push_back(Fingerprint(edited));
        }
        EXPECT_EQ(bounded.StepCount(), c.kept);
        for (std::size_t k = 0; k < c.kept; ++k) ASSERT_TRUE(bounded.Undo(edited));
        EXPECT_FALSE(bounded.CanUndo());
        EXPECT_EQ(Fingerprint(edited), seen[seen.size() - 1 - c.kept]);  // the newest steps were kept
    }
}

}  // namespace
