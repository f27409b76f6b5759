#include "model/pose.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/creature.h"

namespace model {

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

Quaternion AboutAxis(int axis, double degrees) {
    const double half = 0.5 * degrees * kRadiansPerDegree;
    Quaternion q;
    q.w = std::cos(half);
    (axis == 0 ? q.x : axis == 1 ? q.y : q.z) = std::sin(half);
    return q;
}


// The turn about Z that brings an arm from where it hangs to the direction
// (dx, dy) in the front plane; the arm runs from the shoulder to the
// farthest joint of it there is, straight down without one.
void TurnArm(const Skeleton& skeleton, int arm, int forearm, int hand, double dx, double dy, Pose& pose) {
    const int shoulder = skeleton.JointOfType(arm);
    if (shoulder < 0) return;
    int end = skeleton.JointOfType(hand);
    if (end < 0) end = skeleton.JointOfType(forearm);
    double ax = 0;
    double ay = -1;
    if (end >= 0) {
        ax = skeleton.joints[static_cast<std::size_t>(end)].position[0] -
             skeleton.joints[static_cast<std::size_t>(shoulder)].position[0];
        ay = skeleton.joints[static_cast<std::size_t>(end)].position[1] -
             skeleton.joints[static_cast<std::size_t>(shoulder)].position[1];
        if (ax == 0 && ay == 0) ay = -1;
    }
    const double turn = std::atan2(ax * dy - ay * dx, ax * dx + ay * dy) / kRadiansPerDegree;
    pose.rotations[static_cast<std::size_t>(arm)] = AboutAxis(2, turn);
}

bool IsIdentity(const RigidTransform& t) {
    for (std::size_t r = 0; r < 3; ++r) {
        for (std::size_t k = 0; k < 3; ++k) {
            if (t.rotation[r][k] != (r == k ? 1.0 : 0.0)) return false;
        }
        if (t.translation[r] != 0) return false;
    }
    return true;
}

void Set(Pose& pose, int type, double x, double y, double z) {
    pose.rotations[static_cast<std::size_t>(type)] = QuaternionFromDegrees(x, y, z);
}

}  // namespace

Quaternion operator*(const Quaternion& a, const Quaternion& b) {
    return Quaternion{a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                      a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Quaternion QuaternionFromDegrees(double x, double y, double z) {
    return AboutAxis(2, z) * (AboutAxis(1, y) * AboutAxis(0, x));
}

Quaternion Normalised(const Quaternion& q) {
    const double length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (!(length > 0) || !std::isfinite(length)) return Quaternion{};
    return Quaternion{q.x / length, q.y / length, q.z / length, q.w / length};
}

RigidTransform RigidTransform::FromQuaternion(const Quaternion& raw) {
    const Quaternion q = Normalised(raw);
    RigidTransform t;
    const double x = q.x, y = q.y, z = q.z, w = q.w;
    t.rotation = {{{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                   {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                   {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}}};
    return t;
}

RigidTransform operator*(const RigidTransform& a, const RigidTransform& b) {
    RigidTransform c;
    for (std::size_t r = 0; r < 3; ++r) {
        for (std::size_t k = 0; k < 3; ++k) {
            c.rotation[r][k] = a.rotation[r][0] * b.rotation[0][k] + a.rotation[r][1] * b.rotation[1][k] +
                               a.rotation[r][2] * b.rotation[2][k];
        }
        c.translation[r] = a.rotation[r][0] * b.translation[0] + a.rotation[r][1] * b.translation[1] +
                           a.rotation[r][2] * b.translation[2] + a.translation[r];
    }
    return c;
}

bool Pose::IsRest() const {
    return std::none_of(rotations.begin(), rotations.end(), [](const std::optional<Quaternion>& q) {
        return q.has_value() && (q->x != 0 || q->y != 0 || q->z != 0);
    });
}

std::vector<RigidTransform> PoseTransforms(const Skeleton& skeleton, const Pose& pose) {
    std::vector<RigidTransform> transforms(skeleton.joints.size());
    for (std::size_t j = 0; j < skeleton.joints.size(); ++j) {
        const Joint& joint = skeleton.joints[j];
        const std::optional<Quaternion>& q = pose.rotations[static_cast<std::size_t>(joint.typeId)];
        RigidTransform own = q ? RigidTransform::FromQuaternion(*q) : RigidTransform{};
        // About the joint's rest position: p − R·p moves it back where it was.
        for (std::size_t r = 0; r < 3; ++r) {
            own.translation[r] = joint.position[r] - (own.rotation[r][0] * joint.position[0] +
                                                      own.rotation[r][1] * joint.position[1] +
                                                      own.rotation[r][2] * joint.position[2]);
        }
        // Parents come first, so the parent's transform is ready.
        transforms[j] = joint.parent >= 0 ? transforms[static_cast<std::size_t>(joint.parent)] * own : own;
    }
    return transforms;
}

void ApplyPose(Creature& figure, const SkinWeights& weights, const std::vector<RigidTransform>& transforms) {
    // Joints that keep their rest, so that their points are left exactly as they are.
    std::vector<std::uint8_t> still(transforms.size());
    for (std::size_t j = 0; j < transforms.size(); ++j) still[j] = IsIdentity(transforms[j]) ? 1 : 0;
    std::size_t at = 0;
    for (MeshObject& part : figure.parts) {
        if (at >= weights.parts.size()) break;
        const std::vector<PointWeights>& own = weights.parts[at++];
        const std::size_t count = std::min(own.size(), part.points.size() / 3);
        const bool withNormals = part.normals.size() >= 3 * count;
        for (std::size_t i = 0; i < count; ++i) {
            // What each joint moves the point and turns the normal by, blended;
            // joints that keep their rest add exactly nothing.
            double dp[3] = {0, 0, 0};
            double dn[3] = {0, 0, 0};
            float* point = &part.points[3 * i];
            float* normal = withNormals ? &part.normals[3 * i] : nullptr;
            const PointWeights& blend = own[i];
            if (blend.weights[0] == 1.0f && blend.joints[0] < transforms.size()) {
                // Most points follow one joint alone.
                const RigidTransform& t = transforms[blend.joints[0]];
                if (still[blend.joints[0]] != 0) continue;
                double moved[3];
                double turned[3];
                for (std::size_t r = 0; r < 3; ++r) {
                    const auto& row = t.rotation[r];
                    moved[r] = row[0] * point[0] + row[1] * point[1] + row[2] * point[2] + t.translation[r];
                    if (normal != nullptr) turned[r] = row[0] * normal[0] + row[1] * normal[1] + row[2] * normal[2];
                }
                for (std::size_t r = 0; r < 3; ++r) {
                    point[r] = static_cast<float>(moved[r]);
                    if (normal != nullptr) normal[r] = static_cast<float>(turned[r]);
                }
                continue;
            }
            for (std::size_t s = 0; s < kJointsPerPoint; ++s) {
                const double w = own[i].weights[s];
                if (w == 0 || own[i].joints[s] >= transforms.size()) continue;
                const RigidTransform& t = transforms[own[i].joints[s]];
                for (std::size_t r = 0; r < 3; ++r) {
                    const auto& row = t.rotation[r];
                    const double turned = row[0] * point[0] + row[1] * point[1] + row[2] * point[2];
                    dp[r] += w * (turned - point[r] + t.translation[r]);
                    if (normal != nullptr) {
                        dn[r] += w * (row[0] * normal[0] + row[1] * normal[1] + row[2] * normal[2] - normal[r]);
                    }
                }
            }
            for (std::size_t r = 0; r < 3; ++r) point[r] = static_cast<float>(point[r] + dp[r]);
            if (normal == nullptr || (dn[0] == 0 && dn[1] == 0 && dn[2] == 0)) continue;
            // A blend of turned normals is shorter than one: made unit again,
            // unless it has no direction.
            const double n[3] = {normal[0] + dn[0], normal[1] + dn[1], normal[2] + dn[2]};
            const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            for (std::size_t r = 0; r < 3; ++r) normal[r] = length > 0 ? static_cast<float>(n[r] / length) : 0.0f;
        }
    }
}

std::unique_ptr<Creature> PosedCopy(const Creature& rest, const Pose& pose) {
    auto posed = std::make_unique<Creature>(rest.Messages());
    for (const MeshObject& part : rest.parts) posed->parts.Append(part.Copy());
    // The rest pose is the figure itself, bit for bit.
    if (pose.IsRest()) return posed;
    const Skeleton skeleton = BuildSkeleton(rest);
    ApplyPose(*posed, ComputeSkinWeights(rest, skeleton), PoseTransforms(skeleton, pose));
    return posed;
}

bool BuiltInPose(std::string_view name, const Skeleton& skeleton, Pose& pose) {
    if (std::find(kBuiltInPoses.begin(), kBuiltInPoses.end(), name) == kBuiltInPoses.end()) return false;
    Pose made;
    const double diagonal = std::numbers::sqrt2 / 2;
    if (name == "t-pose") {
        TurnArm(skeleton, kLeftArm, kLeftForearm, kLeftHand, 1, 0, made);
        TurnArm(skeleton, kRightArm, kRightForearm, kRightHand, -1, 0, made);
    } else if (name == "a-pose") {
        TurnArm(skeleton, kLeftArm, kLeftForearm, kLeftHand, diagonal, -diagonal, made);
        TurnArm(skeleton, kRightArm, kRightForearm, kRightHand, -diagonal, -diagonal, made);
    } else if (name == "sit") {
        // Thighs forward (the face looks towards −Z), shins straight down again.
        for (int thigh : {kLeftThigh, kRightThigh}) Set(made, thigh, 90, 0, 0);
        for (int leg : {kLeftLeg, kRightLeg}) Set(made, leg, -90, 0, 0);
        for (int forearm : {kLeftForearm, kRightForearm}) Set(made, forearm, 60, 0, 0);
    } else if (name == "walk") {
        // The left leg forward, the right arm with it.
        Set(made, kLeftThigh, 25, 0, 0);
        Set(made, kLeftLeg, -10, 0, 0);
        Set(made, kRightThigh, -15, 0, 0);
        Set(made, kRightLeg, -35, 0, 0);
        Set(made, kLeftArm, -20, 0, 0);
        Set(made, kRightArm, 20, 0, 0);
        Set(made, kLeftForearm, 10, 0, 0);
        Set(made, kRightForearm, 25, 0, 0);
    }
    pose = made;
    return true;
}

const JointLimits& LimitsOf(int typeId) {
    // Degrees about X, Y and Z, by type id.
    static const std::array<JointLimits, kPartTypeCount> kLimits = {{
        {{-20, -30, -15}, {20, 30, 15}},   // Head
        {{-30, -20, -20}, {30, 20, 20}},   // Left hand
        {{-30, -20, -20}, {30, 20, 20}},   // Right hand
        {{-60, -40, -10}, {60, 40, 80}},   // Left arm: raised outwards about +Z
        {{-60, -40, -80}, {60, 40, 10}},   // Right arm
        {{0, -30, 0}, {120, 30, 0}},       // Left forearm: the elbow bends forwards only
        {{0, -30, 0}, {120, 30, 0}},       // Right forearm
        {{-25, -20, -10}, {15, 20, 10}},   // Upper body
        {{-10, -15, -8}, {10, 15, 8}},     // Stomach
        {{-120, 0, 0}, {0, 0, 0}},         // Left leg: the knee bends backwards only
        {{-120, 0, 0}, {0, 0, 0}},         // Right leg
        {{-20, -20, -5}, {60, 20, 30}},    // Left thigh
        {{-20, -20, -30}, {60, 20, 5}},    // Right thigh
        {{-20, -10, -10}, {30, 10, 10}},   // Left foot
        {{-20, -10, -10}, {30, 10, 10}},   // Right foot
        {{-15, -20, 0}, {15, 20, 0}},      // Left eye
        {{-15, -20, 0}, {15, 20, 0}},      // Right eye
        {{0, 0, 0}, {0, 0, 0}},            // Nose
        {{0, 0, 0}, {0, 0, 0}},            // Mouth
        {{0, 0, 0}, {0, 0, 0}},            // Left ear
        {{0, 0, 0}, {0, 0, 0}},            // Right ear
        {{-20, -30, -15}, {20, 30, 15}},   // Neck
    }};
    static const JointLimits kNone{};
    if (typeId < 0 || typeId >= kPartTypeCount) return kNone;
    return kLimits[static_cast<std::size_t>(typeId)];
}

Pose JitteredPose(RandomGenerator& random, double degrees) {
    Pose pose;
    const double reach = std::isfinite(degrees) ? std::clamp(degrees, 0.0, 180.0) : 0.0;
    for (int type = 0; type < kPartTypeCount; ++type) {
        const JointLimits& limits = LimitsOf(type);
        double angles[3];
        for (std::size_t a = 0; a < 3; ++a) {
            const double low = std::max(-reach, limits.low[a]);
            const double high = std::min(reach, limits.high[a]);
            const double r = static_cast<double>(random.Next()) / 32767.0;
            angles[a] = high > low ? low + (high - low) * r : std::max(low, std::min(high, 0.0));
        }
        pose.rotations[static_cast<std::size_t>(type)] = QuaternionFromDegrees(angles[0], angles[1], angles[2]);
    }
    return pose;
}

}  // namespace model
