// PartSelectionPanel: the "Main" page. One row per body part: its name, a
// drop-down list of the part's object files in the object library, and "<"
// and ">" buttons that step through the list. Choosing an entry loads that
// file into the part's slot of the creature, or empties the slot.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

#include "model/random_figure.h"
#include "panels/figure_steps.h"
#include "ui/platform.h"
#include "ui/window.h"

namespace model {
class Creature;
}
namespace view {
class CreatureView;
}
namespace ui {
class MessageSink;
}

namespace panels {

constexpr int kPartRows = 22;
constexpr int kFirstListId = 0x7000;
constexpr int kFirstStepButtonId = 0x7100;
constexpr const char* kNoneEntry = " (none) ";
constexpr const char* kNoFilesEntry = "No Files";

class PartSelectionPanel : public ui::WindowHandler {
public:
    static int ListId(int row) { return kFirstListId + row; }
    static int StepButtonId(int row, bool forward) { return kFirstStepButtonId + 2 * row + (forward ? 1 : 0); }

    void SetObjectDir(const std::string& dir);
    // Fills every list from the object library; true.
    bool FillPartLists();
    // Applies the entry selected in the row's list to the creature; true.
    bool ApplyPartChoice(int row);
    // The user's choice in a row: applied, and while *mirror is on, the
    // other side's row of the same kind chooses the file of the same name
    // (or " (none) ") too, in the same step. Random Creature picks every
    // row itself and is not mirrored.
    void ChoosePart(int row);
    // A random entry (never " (none) ") in every list, applied in row order.
    // A library without a single object file is said once, and the figure
    // stays as it is.
    void PickRandomParts();
    // Every row's list shows the file of its part in the figure, or
    // " (none) " (after an undo or redo).
    void ShowFigure();

    bool OnInitDialog() override;
    void OnCommand(int id, int code) override;

    const std::string& ObjectDir() const { return objectDir; }

    std::string objectDir;
    model::Creature* creature = nullptr;
    FigureSteps* steps = nullptr;  // every change is a step of the figure's history
    view::CreatureView* view = nullptr;
    ui::Platform* messages = nullptr;  // where an empty library is said
    const bool* mirror = nullptr;      // left and right chosen together while *mirror is on
    // The clock that seeds the random pick (seconds); tests may replace it.
    std::function<std::time_t()> clock = [] { return std::time(nullptr); };

private:
    void RequestRepaint();
    // The entry of the row's list named `file` whatever the letter case (an
    // exact match first), " (none) " for " (none) ", or -1.
    int EntryNamed(int row, const std::string& file) const;
    model::RandomGenerator random_;
};

}  // namespace panels
