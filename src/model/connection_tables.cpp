#include "model/connection_tables.h"

namespace model {

// Every seam stands in both its rows, with the list numbers crossed.
const std::array<ConnectionRow, kPartTypeCount> ConnectionTable = {{
    {kHead, 2, 7, {{{kNeck, 1}, {kLeftEye, 0}, {kRightEye, 0}, {kNose, 0}, {kMouth, 0}, {kLeftEar, 0}, {kRightEar, 0}}}},
    {kLeftHand, 0, 1, {{{kLeftForearm, 0}}}},
    {kRightHand, 0, 1, {{{kRightForearm, 0}}}},
    {kLeftArm, 2, 2, {{{kLeftForearm, 1}, {kUpperBody, 1}}}},
    {kRightArm, 2, 2, {{{kRightForearm, 1}, {kUpperBody, 3}}}},
    {kLeftForearm, 1, 2, {{{kLeftHand, 0}, {kLeftArm, 0}}}},
    {kRightForearm, 1, 2, {{{kRightHand, 0}, {kRightArm, 0}}}},
    {kUpperBody, 4, 4, {{{kStomach, 1}, {kLeftArm, 1}, {kNeck, 0}, {kRightArm, 1}}}},
    {kStomach, 3, 3, {{{kLeftThigh, 1}, {kUpperBody, 0}, {kRightThigh, 1}}}},
    {kLeftLeg, 1, 2, {{{kLeftFoot, 0}, {kLeftThigh, 0}}}},
    {kRightLeg, 1, 2, {{{kRightFoot, 0}, {kRightThigh, 0}}}},
    {kLeftThigh, 2, 2, {{{kLeftLeg, 1}, {kStomach, 0}}}},
    {kRightThigh, 2, 2, {{{kRightLeg, 1}, {kStomach, 2}}}},
    {kLeftFoot, 0, 1, {{{kLeftLeg, 0}}}},
    {kRightFoot, 0, 1, {{{kRightLeg, 0}}}},
    {kLeftEye, 0, 1, {{{kHead, 1}}}},
    {kRightEye, 0, 1, {{{kHead, 2}}}},
    {kNose, 0, 2, {{{kHead, 3}, {kMouth, 1}}}},
    {kMouth, 0, 2, {{{kHead, 4}, {kNose, 1}}}},
    {kLeftEar, 0, 1, {{{kHead, 5}}}},
    {kRightEar, 0, 1, {{{kHead, 6}}}},
    {kNeck, 3, 2, {{{kUpperBody, 2}, {kHead, 0}}}},
}};

namespace {

constexpr AttachmentSeam Seam(std::int32_t childList, std::initializer_list<std::int32_t> dependants) {
    AttachmentSeam seam;
    seam.childList = childList;
    for (std::int32_t t : dependants) seam.dependants[static_cast<std::size_t>(seam.dependantCount++)] = t;
    return seam;
}

constexpr AttachmentSeam kNone{};  // a seam whose neighbour is the parent

constexpr AttachmentRow Row(std::initializer_list<AttachmentSeam> seams) {
    AttachmentRow row;
    for (const AttachmentSeam& s : seams) row.seams[static_cast<std::size_t>(row.seamGroupCount++)] = s;
    return row;
}

}  // namespace

// For each seam: the child on it first, then what hangs off the child, depth first.
const std::array<AttachmentRow, kPartTypeCount> AttachmentTable = {{
    Row({kNone, Seam(0, {kLeftEye}), Seam(0, {kRightEye}), Seam(0, {kNose}), Seam(0, {kMouth}),
         Seam(0, {kLeftEar}), Seam(0, {kRightEar})}),                                  // Head
    Row({}),                                                                             // Left hand
    Row({}),                                                                             // Right hand
    Row({Seam(1, {kLeftForearm, kLeftHand})}),                                           // Left arm
    Row({Seam(1, {kRightForearm, kRightHand})}),                                         // Right arm
    Row({Seam(0, {kLeftHand})}),                                                         // Left forearm
    Row({Seam(0, {kRightHand})}),                                                        // Right forearm
    Row({Seam(1, {kStomach, kLeftThigh, kLeftLeg, kLeftFoot, kRightThigh, kRightLeg, kRightFoot}),
         Seam(1, {kLeftArm, kLeftForearm, kLeftHand}),
         Seam(0, {kNeck, kHead, kLeftEye, kRightEye, kNose, kMouth, kLeftEar, kRightEar}),
         Seam(1, {kRightArm, kRightForearm, kRightHand})}),                              // Upper body
    Row({Seam(1, {kLeftThigh, kLeftLeg, kLeftFoot}), kNone,
         Seam(1, {kRightThigh, kRightLeg, kRightFoot})}),                                // Stomach
    Row({Seam(0, {kLeftFoot})}),                                                         // Left leg
    Row({Seam(0, {kRightFoot})}),                                                        // Right leg
    Row({Seam(1, {kLeftLeg, kLeftFoot})}),                                               // Left thigh
    Row({Seam(1, {kRightLeg, kRightFoot})}),                                             // Right thigh
    Row({}),                                                                             // Left foot
    Row({}),                                                                             // Right foot
    Row({}),                                                                             // Left eye
    Row({}),                                                                             // Right eye
    Row({}),                                                                             // Nose
    Row({}),                                                                             // Mouth
    Row({}),                                                                             // Left ear
    Row({}),                                                                             // Right ear
    Row({kNone, Seam(0, {kHead, kLeftEye, kRightEye, kNose, kMouth, kLeftEar, kRightEar})}),  // Neck
}};

}  // namespace model
