// The 22 body-part types, numbered two ways: by type id (the connection
// tables, project files) and by panel index (the order of every list the
// user sees).
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace model {

constexpr int kPartTypeCount = 22;

// Type ids by name, for the tables and rules that name parts.
enum PartTypeId : int {
    kHead = 0,
    kLeftHand = 1,
    kRightHand = 2,
    kLeftArm = 3,
    kRightArm = 4,
    kLeftForearm = 5,
    kRightForearm = 6,
    kUpperBody = 7,
    kStomach = 8,
    kLeftLeg = 9,
    kRightLeg = 10,
    kLeftThigh = 11,
    kRightThigh = 12,
    kLeftFoot = 13,
    kRightFoot = 14,
    kLeftEye = 15,
    kRightEye = 16,
    kNose = 17,
    kMouth = 18,
    kLeftEar = 19,
    kRightEar = 20,
    kNeck = 21,
};

// Type names by type id.
extern const std::array<std::string_view, kPartTypeCount> partTypeNames;
// Type names by panel index.
extern const std::array<std::string_view, kPartTypeCount> panelOrder;
// Type id of each panel index.
extern const std::array<int, kPartTypeCount> panelToTypeId;

// Type id of a name (exact, case-sensitive match), or -1.
int TypeIdOfName(std::string_view name);
// Panel index of a type id, or -1.
int PanelIndexOfTypeId(int typeId);

// The name of the same kind of part on the other side ("Left arm" and
// "Right arm" each give the other); empty for a name without a side.
std::string MirrorPartName(std::string_view name);
// Panel index of the other side's part of the same kind, or -1.
int MirrorPanelIndex(int panelIndex);

}  // namespace model
