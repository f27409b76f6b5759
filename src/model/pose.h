// Poses: rotations of joints about their rest positions, in the figure's
// rest axes (the object files' axes: +Y up, the figure's left on +X, its
// face towards −Z), and the figure skinned into them (linear blend skinning
// of points and normals). A joint's pose carries everything below it.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "model/part_types.h"
#include "model/random_figure.h"
#include "model/skeleton.h"

namespace model {

class Creature;

struct Quaternion {
    double x = 0;
    double y = 0;
    double z = 0;
    double w = 1;
};

// Rotations by angles in degrees about X, then Y, then Z.
Quaternion QuaternionFromDegrees(double x, double y, double z);
// `a` after `b`.
Quaternion operator*(const Quaternion& a, const Quaternion& b);
// Of unit length; the identity for a quaternion without a length.
Quaternion Normalised(const Quaternion& q);

// A rotation and translation of the figure's space: y = rotation · x + translation.
struct RigidTransform {
    std::array<std::array<double, 3>, 3> rotation{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    std::array<double, 3> translation{};

    static RigidTransform FromQuaternion(const Quaternion& q);
    // `a` after `b`.
    friend RigidTransform operator*(const RigidTransform& a, const RigidTransform& b);
};

// A rotation for some joints, by part type; the others keep their rest.
struct Pose {
    std::array<std::optional<Quaternion>, kPartTypeCount> rotations{};
    bool IsRest() const;
};

// Every joint's transform from the rest figure into the pose: its parent's,
// after its own rotation about its rest position.
std::vector<RigidTransform> PoseTransforms(const Skeleton& skeleton, const Pose& pose);

// Moves every point and turns every normal of `figure`, the rest figure the
// skeleton and weights were computed from (or a copy of it), into the pose.
void ApplyPose(Creature& figure, const SkinWeights& weights, const std::vector<RigidTransform>& transforms);

// A figure of its own: copies of the rest figure's parts, skinned into the
// pose. Its messages go where the rest figure's go.
std::unique_ptr<Creature> PosedCopy(const Creature& rest, const Pose& pose);

// "rest", "t-pose" (arms horizontal), "a-pose" (arms 45° down), "sit",
// "walk"; the arms' rotations are worked out from where the figure's arms
// hang. False, and `pose` untouched, for any other name.
constexpr std::array<std::string_view, 5> kBuiltInPoses = {"rest", "t-pose", "a-pose", "sit", "walk"};
bool BuiltInPose(std::string_view name, const Skeleton& skeleton, Pose& pose);

// How far each joint turns about each rest axis, in degrees, in natural
// stances: elbows and knees bend one way only, the head turns less than the
// shoulders, face parts stay.
struct JointLimits {
    std::array<double, 3> low{};
    std::array<double, 3> high{};
};
const JointLimits& LimitsOf(int typeId);

// Every joint turned by angles drawn within ±degrees about X, Y and Z and
// held to its limits: three numbers from `random` per part type, in type
// order, whatever the figure holds.
Pose JitteredPose(RandomGenerator& random, double degrees);

}  // namespace model
