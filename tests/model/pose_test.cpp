// The skeleton read off the sample figure's seams, and the figure skinned
// into poses: joints where the seams are, the hierarchy with missing parts,
// an elbow that moves only what hangs below it, seams that stay closed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "../support/recording_sink.h"
#include "formats/object_library.h"
#include "formats/object_reader.h"
#include "model/connection_tables.h"
#include "model/creature.h"
#include "model/pose.h"
#include "model/skeleton.h"

namespace {

using model::Creature;
using model::MeshObject;

const std::string kLibrary = MW_SAMPLE_LIBRARY_DIR;

// The first file of every part's folder, but for the parts named.
void BuildFigure(Creature& figure, const std::set<std::string>& without = {}) {
    for (int panel = 0; panel < model::kPartTypeCount; ++panel) {
        const std::string name(model::panelOrder[static_cast<std::size_t>(panel)]);
        if (without.count(name) != 0) continue;
        const auto files = formats::ObjectFilesOf(kLibrary, name);
        ASSERT_FALSE(files.empty()) << name;
        ASSERT_TRUE(formats::SetPartFromFile(figure, name, formats::PartFolder(kLibrary, name) + "/" + files[0], panel));
    }
}

std::string NameOf(const model::Skeleton& skeleton, int joint) {
    if (joint < 0) return "";
    return std::string(model::partTypeNames[static_cast<std::size_t>(skeleton.joints[static_cast<std::size_t>(joint)].typeId)]);
}

// The seams' own list numbers toward the parent, read off the part files'
// layout (the Stomach's joint is the mean of its lists 0 and 2).
const std::map<std::string, std::pair<std::string, int>> kParents = {
    {"Stomach", {"", -1}},          {"Upper body", {"Stomach", 0}},    {"Neck", {"Upper body", 0}},
    {"Head", {"Neck", 0}},          {"Left eye", {"Head", 0}},         {"Right eye", {"Head", 0}},
    {"Nose", {"Head", 0}},          {"Mouth", {"Head", 0}},            {"Left ear", {"Head", 0}},
    {"Right ear", {"Head", 0}},     {"Left arm", {"Upper body", 1}},   {"Right arm", {"Upper body", 1}},
    {"Left forearm", {"Left arm", 1}}, {"Right forearm", {"Right arm", 1}}, {"Left hand", {"Left forearm", 0}},
    {"Right hand", {"Right forearm", 0}}, {"Left thigh", {"Stomach", 1}}, {"Right thigh", {"Stomach", 1}},
    {"Left leg", {"Left thigh", 1}}, {"Right leg", {"Right thigh", 1}}, {"Left foot", {"Left leg", 0}},
    {"Right foot", {"Right leg", 0}},
};

std::array<double, 3> Mean(const MeshObject& part, std::vector<int> lists) {
    std::array<double, 3> sum{};
    double n = 0;
    for (int list : lists) {
        for (std::uint16_t i : part.boundaryLists[static_cast<std::size_t>(list)]) {
            for (int a = 0; a < 3; ++a) sum[static_cast<std::size_t>(a)] += part.points[3u * i + static_cast<unsigned>(a)];
            ++n;
        }
    }
    for (double& c : sum) c /= n;
    return sum;
}

TEST(Skeleton, TheSampleFiguresJointsSitOnTheirSeamsInTheHumanoidHierarchy) {
    testsupport::RecordingSink sink;
    Creature figure(sink);
    BuildFigure(figure);
    const model::Skeleton skeleton = model::BuildSkeleton(figure);
    ASSERT_EQ(skeleton.joints.size(), 22u);
    for (std::size_t j = 0; j < skeleton.joints.size(); ++j) {
        const model::Joint& joint = skeleton.joints[j];
        const std::string name = NameOf(skeleton, static_cast<int>(j));
        const auto& [parent, list] = kParents.at(name);
        EXPECT_EQ(NameOf(skeleton, joint.parent), parent) << name;
        EXPECT_LT(joint.parent, static_cast<int>(j)) << name;
        const MeshObject& part = *figure.PartAt(joint.part);
        EXPECT_EQ(part.objectType, name);
        // The Stomach's two hip seams are lists 0 and 2; the hips are not
        // where the two hip seams meet but halfway between their centroids.
        const std::array<double, 3> hips0 = Mean(part, {list < 0 ? 0 : list});
        const std::array<double, 3> hips2 = list < 0 ? Mean(part, {2}) : hips0;
        for (std::size_t a = 0; a < 3; ++a) EXPECT_NEAR(joint.position[a], (hips0[a] + hips2[a]) / 2, 1e-9) << name;
    }
}

TEST(Skeleton, APartWithoutItsParentHangsFromTheNearestAncestor) {
    testsupport::RecordingSink sink;
    Creature figure(sink);
    BuildFigure(figure, {"Left forearm", "Neck", "Stomach"});
    const model::Skeleton skeleton = model::BuildSkeleton(figure);
    ASSERT_EQ(skeleton.joints.size(), 19u);
    const std::map<std::string, std::string> expected = {
        {"Left hand", "Left arm"}, {"Head", "Upper body"}, {"Upper body", ""}, {"Left thigh", ""}, {"Nose", "Head"}};
    for (const auto& [name, parent] : expected) {
        EXPECT_EQ(NameOf(skeleton, skeleton.JointOfType(model::TypeIdOfName(name))), name);
        EXPECT_EQ(NameOf(skeleton, skeleton.joints[static_cast<std::size_t>(skeleton.JointOfType(model::TypeIdOfName(name)))].parent),
                  parent)
            << name;
    }
}

// The points a part shares with a neighbour of the given type, by its own seam list.
std::set<std::uint16_t> SeamPoints(const MeshObject& part, const std::string& neighbour) {
    const model::ConnectionRow& row = model::ConnectionTable[static_cast<std::size_t>(part.typeId)];
    std::set<std::uint16_t> points;
    for (int k = 0; k < row.seamCount; ++k) {
        if (row.seams[static_cast<std::size_t>(k)].neighbourType != model::TypeIdOfName(neighbour)) continue;
        points.insert(part.boundaryLists[static_cast<std::size_t>(k)].begin(),
                      part.boundaryLists[static_cast<std::size_t>(k)].end());
    }
    return points;
}

TEST(Pose, TheLeftElbowMovesOnlyTheForearmTheHandAndTheArmNearTheElbow) {
    testsupport::RecordingSink sink;
    Creature figure(sink);
    BuildFigure(figure);
    model::Pose pose;
    pose.rotations[static_cast<std::size_t>(model::TypeIdOfName("Left forearm"))] = model::QuaternionFromDegrees(70, 0, 0);
    const auto posed = model::PosedCopy(figure, pose);
    ASSERT_EQ(posed->parts.Count(), figure.parts.Count());
    // The arm bends over a band of 2.5 elbow radii about the elbow's seam.
    const MeshObject& arm = *figure.PartNamed("Left arm");
    const std::set<std::uint16_t> elbow = SeamPoints(arm, "Left forearm");
    const std::array<double, 3> centre = Mean(arm, {0});
    const auto distance = [&](const float* p) {
        return std::sqrt(std::pow(p[0] - centre[0], 2) + std::pow(p[1] - centre[1], 2) + std::pow(p[2] - centre[2], 2));
    };
    double radius = 0;
    for (std::uint16_t i : elbow) radius = std::max(radius, distance(&arm.points[3u * i]));
    for (int p = 0; p < figure.parts.Count(); ++p) {
        const MeshObject& rest = *figure.PartAt(p);
        const MeshObject& now = *posed->PartAt(p);
        const bool below = rest.objectType == "Left forearm" || rest.objectType == "Left hand";
        int moved = 0;
        for (std::size_t i = 0; i < rest.points.size() / 3; ++i) {
            const bool same = std::equal(&rest.points[3 * i], &rest.points[3 * i + 3], &now.points[3 * i]);
            moved += same ? 0 : 1;
            if (below || same) continue;
            EXPECT_EQ(rest.objectType, "Left arm") << "point " << i;
            EXPECT_LE(distance(&rest.points[3 * i]), 2.5 * radius * (1 + 1e-9)) << "point " << i;
        }
        EXPECT_EQ(moved > 0, below || &rest == &arm) << rest.objectType;
    }
    // The rest pose is the figure itself.
    const auto same = model::PosedCopy(figure, model::Pose{});
    for (int p = 0; p < figure.parts.Count(); ++p) EXPECT_EQ(same->PartAt(p)->points, figure.PartAt(p)->points);
}

// Every seam's two ends stay on each other, and no edge of a quad grows to
// three times its rest length, in the built-in poses and 20 jittered ones.
TEST(Pose, NoSeamOpensAndNoEdgeTearsInAnyPose) {
    testsupport::RecordingSink sink;
    Creature figure(sink);
    BuildFigure(figure);
    const model::Skeleton skeleton = model::BuildSkeleton(figure);
    std::vector<std::pair<std::string, model::Pose>> poses;
    for (std::string_view name : model::kBuiltInPoses) {
        model::Pose pose;
        ASSERT_TRUE(model::BuiltInPose(name, skeleton, pose));
        poses.emplace_back(std::string(name), pose);
    }
    for (std::uint32_t seed = 0; seed < 20; ++seed) {
        model::RandomGenerator random;
        random.Seed(seed);
        poses.emplace_back("jitter " + std::to_string(seed), model::JitteredPose(random, 60));
    }
    for (const auto& [name, pose] : poses) {
        const auto posed = model::PosedCopy(figure, pose);
        for (int p = 0; p < figure.parts.Count(); ++p) {
            const MeshObject& rest = *figure.PartAt(p);
            const MeshObject& now = *posed->PartAt(p);
            const model::ConnectionRow& row = model::ConnectionTable[static_cast<std::size_t>(rest.typeId)];
            for (int k = 0; k < row.seamCount; ++k) {
                const model::SeamEntry& seam = row.seams[static_cast<std::size_t>(k)];
                const MeshObject* other = posed->PartNamed(model::partTypeNames[static_cast<std::size_t>(seam.neighbourType)]);
                if (other == nullptr) continue;
                const auto& own = now.boundaryLists[static_cast<std::size_t>(k)];
                const auto& theirs = other->boundaryLists[static_cast<std::size_t>(seam.neighbourList)];
                ASSERT_EQ(own.size(), theirs.size());
                for (std::size_t e = 0; e < own.size(); ++e) {
                    for (int a = 0; a < 3; ++a) {
                        ASSERT_EQ(now.points[3u * own[e] + static_cast<unsigned>(a)],
                                  other->points[3u * theirs[e] + static_cast<unsigned>(a)])
                            << name << ": " << rest.objectType << " seam " << k << " entry " << e;
                    }
                }
            }
            const auto length = [](const MeshObject& m, std::uint16_t i, std::uint16_t j) {
                double sum = 0;
                for (unsigned a = 0; a < 3; ++a) sum += std::pow(m.points[3u * i + a] - m.points[3u * j + a], 2);
                return std::sqrt(sum);
            };
            for (const model::Polygon& q : rest.polygons) {
                const std::uint16_t corners[4] = {q.a, q.b, q.c, q.d};
                for (int c = 0; c < 4; ++c) {
                    const std::uint16_t i = corners[c];
                    const std::uint16_t j = corners[(c + 1) % 4];
                    ASSERT_LE(length(now, i, j), 3 * length(rest, i, j) + 1e-6) << name << ": " << rest.objectType;
                }
            }
        }
    }
}

// The built-in arm poses put the hands level with the shoulders (t-pose)
// or 45° below them (a-pose), outwards on each side.
TEST(Pose, ArmPosesRaiseEachArmToItsAngle) {
    testsupport::RecordingSink sink;
    Creature figure(sink);
    BuildFigure(figure);
    const model::Skeleton skeleton = model::BuildSkeleton(figure);
    const struct {
        const char* pose;
        double degreesBelow;
    } cases[] = {{"t-pose", 0}, {"a-pose", 45}};
    for (const auto& c : cases) {
        model::Pose pose;
        ASSERT_TRUE(model::BuiltInPose(c.pose, skeleton, pose));
        const std::vector<model::RigidTransform> moved = model::PoseTransforms(skeleton, pose);
        for (const char* side : {"Left", "Right"}) {
            const int shoulder = skeleton.JointOfType(model::TypeIdOfName(std::string(side) + " arm"));
            const int hand = skeleton.JointOfType(model::TypeIdOfName(std::string(side) + " hand"));
            const auto& t = moved[static_cast<std::size_t>(hand)];
            const auto& at = skeleton.joints[static_cast<std::size_t>(hand)].position;
            const auto& from = skeleton.joints[static_cast<std::size_t>(shoulder)].position;
            double posedHand[3];
            for (std::size_t r = 0; r < 3; ++r) {
                posedHand[r] = t.rotation[r][0] * at[0] + t.rotation[r][1] * at[1] + t.rotation[r][2] * at[2] + t.translation[r];
            }
            const double out = (side[0] == 'L' ? 1 : -1) * (posedHand[0] - from[0]);
            const double down = from[1] - posedHand[1];
            EXPECT_GT(out, 0) << c.pose << " " << side;
            EXPECT_NEAR(std::atan2(down, out) * 180 / std::acos(-1.0), c.degreesBelow, 1e-6) << c.pose << " " << side;
        }
    }
    model::Pose unknown;
    EXPECT_FALSE(model::BuiltInPose("dance", skeleton, unknown));
}

}  // namespace
