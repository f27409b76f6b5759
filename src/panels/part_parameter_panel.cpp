#include "panels/part_parameter_panel.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "formats/c_number.h"
#include "model/creature.h"
#include "model/mesh_object.h"
#include "model/part_types.h"
#include "view/creature_view.h"

namespace panels {

namespace {

// "Adjust X of Upper body": what the Undo and Redo tooltips name.
std::string StepName(const std::string& what, int axis, const model::MeshObject& part) {
    return what + " " + "XYZ"[axis] + " of " + part.objectType;
}

}  // namespace

namespace {

constexpr std::size_t kFieldLimit = 255;

bool ValidMode(std::int32_t mode) { return mode >= model::kLockNone && mode <= model::kLockNegative; }

// The lock mode of the counterpart: mirrored in X, one part's positive half
// is the other's negative half; Y and Z keep their halves.
std::int32_t MirroredMode(int axis, std::int32_t mode) {
    if (axis != model::kAxisX || mode == model::kLockNone) return mode;
    return mode == model::kLockPositive ? model::kLockNegative : model::kLockPositive;
}

// The axis of an adjust bar, or -1.
int AxisOfBar(int barId) {
    for (int a = 0; a < 3; ++a) {
        if (kAxisControls[a].adjustBar == barId) return a;
    }
    return -1;
}

// A bar position as the part stores it: a project file may carry any
// number, and steps past it must not overflow.
std::int32_t StoredPosition(std::int64_t p) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(p, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

bool PartParameterPanel::OnInitDialog() {
    window->AddEntry(kIdObjectList, kNoPartEntry);
    for (auto name : model::panelOrder) window->AddEntry(kIdObjectList, std::string(name));
    window->SetSelection(kIdObjectList, 0);
    ResetControls();
    window->CreateControl({kIdMirrorEdit, ui::ControlKind::AutoCheckBox, "Mirror left and right",
                           ui::DialogUnitsToPixels({7, 252, 150, 10})});
    ShowMirror();
    return true;
}

void PartParameterPanel::ShowMirror() {
    if (window != nullptr) window->SetCheck(kIdMirrorEdit, mirror != nullptr && *mirror);
}

void PartParameterPanel::ResetControls() {
    if (window == nullptr) return;
    for (const AxisControls& axis : kAxisControls) {
        window->SetText(axis.valueField, "0.0");
        window->SetText(axis.stepField, "0.01");
        window->SetScrollRange(axis.adjustBar, kAdjustBarMin, kAdjustBarMax);
        window->SetScrollPos(axis.adjustBar, 0);
    }
    EnableAxisControls(false);
}

void PartParameterPanel::EnableControls() {
    if (window == nullptr) return;
    EnableAxisControls(true);
}

// Every axis control but the None buttons, which stay enabled.
void PartParameterPanel::EnableAxisControls(bool enabled) {
    for (const AxisControls& axis : kAxisControls) {
        for (int id : {axis.lockButtons[model::kLockPositive], axis.lockButtons[model::kLockNegative],
                       axis.valueField, axis.stepField, axis.adjustBar}) {
            window->Enable(id, enabled);
        }
    }
    window->Invalidate();
}

void PartParameterPanel::SetLockButtons(int axis, int mode) {
    if (window == nullptr || axis < 0 || axis > 2 || !ValidMode(mode)) return;
    for (int m = 0; m < 3; ++m) window->SetCheck(kAxisControls[axis].lockButtons[m], m == mode);
}

model::MeshObject* PartParameterPanel::ChosenPart() {
    if (window == nullptr || creature == nullptr) return nullptr;
    const int k = window->Selection(kIdObjectList);
    if (k <= 0) return nullptr;
    // The part worked on is the one the view outlines.
    model::MeshObject* part = creature->PartOfPanel(k - 1);
    if (view != nullptr) view->state.selectedPanel = part != nullptr ? k - 1 : -1;
    return part;
}

model::MeshObject* PartParameterPanel::MirrorPart() {
    if (window == nullptr || creature == nullptr || mirror == nullptr || !*mirror) return nullptr;
    const int other = model::MirrorPanelIndex(window->Selection(kIdObjectList) - 1);
    return other < 0 ? nullptr : creature->PartOfPanel(other);
}

void PartParameterPanel::ShowPart() {
    if (window == nullptr) return;
    model::MeshObject* part = ChosenPart();
    if (part == nullptr) {
        if (view != nullptr) view->state.selectedPanel = -1;
        ResetControls();
        RequestRepaint();
        return;
    }
    EnableControls();
    for (int a = 0; a < 3; ++a) SetLockButtons(a, part->settings.lockModes[a]);
    for (int a = 0; a < 3; ++a) window->SetText(kAxisControls[a].stepField, formats::FormatFixed(part->settings.sliderSteps[a]));
    for (int a = 0; a < 3; ++a) {
        const std::int32_t m = part->settings.lockModes[a];
        // A mode no button stands for (a project file may hold one) shows
        // what the bar would start from: position 0, factor 0.
        const bool valid = ValidMode(m);
        window->SetScrollPos(kAxisControls[a].adjustBar, valid ? part->settings.sliderPositions[m][a] : 0);
        window->SetText(kAxisControls[a].valueField, formats::FormatFixed(valid ? part->settings.deformFactors[m][a] : 0.0f));
    }
    // ChosenPart has selected the part in the view: it is drawn highlighted.
    RequestRepaint();
}

void PartParameterPanel::BeginStep(const std::string& what, int axis, const model::MeshObject& part) {
    if (steps != nullptr) steps->Begin(*creature, StepName(what, axis, part));
}

void PartParameterPanel::CommitStep() {
    if (steps != nullptr) steps->Commit(*creature);
}

void PartParameterPanel::SelectLockMode(int axis, int mode) {
    if (axis < 0 || axis > 2 || !ValidMode(mode)) return;
    model::MeshObject* part = ChosenPart();
    if (part == nullptr) return;
    BeginStep("Lock mode of", axis, *part);
    part->settings.lockModes[axis] = mode;
    if (model::MeshObject* other = MirrorPart()) other->settings.lockModes[axis] = MirroredMode(axis, mode);
    CommitStep();
    window->SetScrollPos(kAxisControls[axis].adjustBar, part->settings.sliderPositions[mode][axis]);
    window->SetText(kAxisControls[axis].valueField, formats::FormatFixed(part->settings.deformFactors[mode][axis]));
}

void PartParameterPanel::AdjustByBar(int barId, int code, int thumbPos) {
    const int a = AxisOfBar(barId);
    if (a < 0) return;
    model::MeshObject* part = ChosenPart();
    if (part == nullptr) return;

    const std::int32_t m = part->settings.lockModes[a];
    const bool valid = ValidMode(m);
    const std::int64_t old = valid ? part->settings.sliderPositions[m][a] : 0;
    const float step = part->settings.sliderSteps[a];
    const float f = valid ? part->settings.deformFactors[m][a] : 0.0f;

    // Everything from the press to the end-scroll code that follows every
    // click and every release is one step: a line or page click, or a drag.
    if (steps != nullptr) steps->Open(*creature, StepName("Adjust", a, *part));
    std::int64_t p = old;
    switch (code) {
        case ui::kScrollLineLeft:
            p = old - 1;
            break;
        case ui::kScrollLineRight:
            p = old + 1;
            break;
        case ui::kScrollPageLeft:
            p = old - 4;
            break;
        case ui::kScrollPageRight:
            p = old + 4;
            break;
        case ui::kScrollThumbTrack:
            p = thumbPos;
            break;
        default:
            break;  // thumb released, ends, end of scrolling: the position stays
    }
    p = StoredPosition(p);
    // The bar shows p within its range; p itself is kept as it is.
    window->SetScrollPos(barId, static_cast<int>(p));

    // Single precision, so that a drag sums exactly the steps it always did.
    float factor = static_cast<float>(old - p) * step + f;
    // A step so large that the sum leaves the float range keeps the factor.
    if (!std::isfinite(factor)) factor = f;
    window->SetText(kAxisControls[a].valueField, formats::FormatFixed(factor));
    if (valid) {
        part->settings.sliderPositions[m][a] = static_cast<std::int32_t>(p);
        part->settings.deformFactors[m][a] = factor;
    }
    creature->ApplyParameters(part);
    // Inside the bar's open step, so that one Undo takes both sides back.
    model::MeshObject* other = valid ? MirrorPart() : nullptr;
    if (other != nullptr) {
        const std::int32_t mm = MirroredMode(a, m);
        other->settings.sliderPositions[mm][a] = static_cast<std::int32_t>(p);
        other->settings.deformFactors[mm][a] = factor;
        creature->ApplyParameters(other);
    }
    if (steps != nullptr && code == ui::kScrollEnd) steps->Close(*creature);
    RequestRepaint();
}

std::string PartParameterPanel::FieldText(int id) const {
    std::string text = window->Text(id);
    if (text.size() > kFieldLimit) text.resize(kFieldLimit);
    return text;
}

void PartParameterPanel::ValueFieldLeft(int axis) {
    const float v = formats::ReadLeadingFloat(FieldText(kAxisControls[axis].valueField));
    model::MeshObject* part = ChosenPart();
    if (part == nullptr) return;
    const std::int32_t m = part->settings.lockModes[axis];
    if (!ValidMode(m)) return;
    BeginStep("Value", axis, *part);
    part->settings.deformFactors[m][axis] = v;
    creature->ApplyParameters(part);
    if (model::MeshObject* other = MirrorPart()) {
        other->settings.deformFactors[MirroredMode(axis, m)][axis] = v;
        creature->ApplyParameters(other);
    }
    CommitStep();
    RequestRepaint();
}

void PartParameterPanel::StepFieldLeft(int axis) {
    const float v = formats::ReadLeadingFloat(FieldText(kAxisControls[axis].stepField));
    model::MeshObject* part = ChosenPart();
    if (part == nullptr) return;
    BeginStep("Step", axis, *part);
    part->settings.sliderSteps[axis] = v;
    if (model::MeshObject* other = MirrorPart()) other->settings.sliderSteps[axis] = v;
    CommitStep();
}

void PartParameterPanel::StepEntry(int delta) {
    const int k = window->Selection(kIdObjectList);
    window->SetSelection(kIdObjectList, std::clamp(k + delta, 0, kObjectListEntries - 1));
    ShowPart();
}

void PartParameterPanel::OnCommand(int id, int code) {
    if (window == nullptr) return;
    if (id == kIdObjectList) {
        if (code == ui::kNotifySelChange) ShowPart();
        return;
    }
    if (id == kIdMirrorEdit) {
        if (code == ui::kNotifyClicked && mirror != nullptr) *mirror = window->IsChecked(kIdMirrorEdit);
        return;
    }
    if (id == kIdNextPart || id == kIdPreviousPart) {
        if (code == ui::kNotifyClicked) StepEntry(id == kIdNextPart ? 1 : -1);
        return;
    }
    for (int a = 0; a < 3; ++a) {
        const AxisControls& axis = kAxisControls[a];
        for (int m = 0; m < 3; ++m) {
            if (id == axis.lockButtons[m] && code == ui::kNotifyClicked) {
                SetLockButtons(a, m);
                SelectLockMode(a, m);
                return;
            }
        }
        if (code != ui::kNotifyKillFocus) continue;
        if (id == axis.valueField) {
            ValueFieldLeft(a);
            return;
        }
        if (id == axis.stepField) {
            StepFieldLeft(a);
            return;
        }
    }
}

void PartParameterPanel::OnHScroll(int barId, int code, int pos) {
    if (window == nullptr) return;
    AdjustByBar(barId, code, pos);
}

void PartParameterPanel::RequestRepaint() {
    if (view != nullptr) view->RequestRepaint();
}

}  // namespace panels
