// PartParameterPanel: the "Edit BodyParts" page, where a part of the figure
// is picked and deformed along X, Y and Z. Every setting lives in the part
// itself; the page looks the part up again on every message, so a part
// removed or replaced meanwhile is never touched through an old pointer.
#pragma once

#include <cstdint>
#include <string>

#include "panels/figure_steps.h"
#include "ui/window.h"

namespace model {
class Creature;
class MeshObject;
}  // namespace model
namespace view {
class CreatureView;
}

namespace panels {

constexpr int kIdObjectList = 1019;
constexpr int kIdPreviousPart = 1020;
constexpr int kIdNextPart = 1021;
constexpr int kObjectListEntries = 23;  // "(none)" and the 22 parts
constexpr const char* kNoPartEntry = "(none)";
// "Mirror left and right", made by the page itself below the Z group.
constexpr int kIdMirrorEdit = 1052;

// The controls of one axis group.
struct AxisControls {
    int lockButtons[3];  // None, Positive, Negative
    int valueField;
    int stepField;
    int adjustBar;
};

constexpr AxisControls kAxisControls[3] = {
    {{1022, 1025, 1026}, 1027, 1023, 1024},
    {{1040, 1041, 1042}, 1043, 1044, 1045},
    {{1046, 1047, 1048}, 1049, 1050, 1051},
};

constexpr int kAdjustBarMin = -50;
constexpr int kAdjustBarMax = 50;

class PartParameterPanel : public ui::WindowHandler {
public:
    bool OnInitDialog() override;
    void OnCommand(int id, int code) override;
    void OnHScroll(int barId, int code, int pos) override;

    // Nothing chosen: the axis controls show their defaults, and all but the
    // None buttons are disabled.
    void ResetControls();
    void EnableControls();
    // Checks exactly the button of mode m on axis a; any other mode changes nothing.
    void SetLockButtons(int axis, int mode);
    // Shows the part of the chosen entry, highlighted, or resets the page.
    void ShowPart();
    void SelectLockMode(int axis, int mode);
    void AdjustByBar(int barId, int code, int thumbPos);
    // The mirror box shows *mirror.
    void ShowMirror();

    view::CreatureView* view = nullptr;
    model::Creature* creature = nullptr;
    FigureSteps* steps = nullptr;  // every change is a step of the figure's history
    // While *mirror is on, a change of a left part is made to the right part
    // of the same kind too, mirrored in X, and the other way round.
    bool* mirror = nullptr;

private:
    // The part of the chosen entry, outlined in the view; null for "(none)" or an empty slot.
    model::MeshObject* ChosenPart();
    // The chosen part's counterpart on the other side while mirroring is on;
    // null otherwise, for a part without a side, or when there is none.
    model::MeshObject* MirrorPart();
    void EnableAxisControls(bool enabled);
    void StepEntry(int delta);
    void ValueFieldLeft(int axis);
    void StepFieldLeft(int axis);
    std::string FieldText(int id) const;
    void RequestRepaint();
    void BeginStep(const std::string& what, int axis, const model::MeshObject& part);
    void CommitStep();

};

}  // namespace panels
