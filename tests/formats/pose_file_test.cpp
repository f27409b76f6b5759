// Pose files: both forms of a joint's turn, the mistakes the command tests
// leave out, each told in one line with the pose untouched, and the size a
// file may have.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "formats/pose_file.h"
#include "model/pose.h"

namespace formats {
namespace {

// The same turn: q and -q are one.
bool SameTurn(const std::optional<model::Quaternion>& a, const model::Quaternion& b) {
    return a && std::abs(std::abs(a->x * b.x + a->y * b.y + a->z * b.z + a->w * b.w) - 1) < 1e-12;
}

TEST(PoseFile, ReadsDegreesAndQuaternionsOfUnitLength) {
    model::Pose pose;
    std::string why;
    ASSERT_TRUE(ParsePose(R"({"joints": {"Left forearm": {"rotate": [10, -20, 90]}, "Head": {"quat": [0, 0, 3, 4]},
                                         "Neck": {"quat": [1e-300, 0, 0, 0]}}})",
                          pose, why))
        << why;
    EXPECT_TRUE(SameTurn(pose.rotations[5], model::QuaternionFromDegrees(10, -20, 90)));  // Left forearm
    EXPECT_TRUE(SameTurn(pose.rotations[0], {0, 0, 0.6, 0.8}));                           // Head
    EXPECT_TRUE(SameTurn(pose.rotations[21], {1, 0, 0, 0}));  // Neck: tiny, but it has a length
    EXPECT_EQ(std::count_if(pose.rotations.begin(), pose.rotations.end(), [](auto& q) { return q.has_value(); }), 3);
    EXPECT_EQ(BuiltInPoseName("T-Pose"), "t-pose");
    EXPECT_EQ(BuiltInPoseName("sitting"), "");
}

TEST(PoseFile, EveryMistakeIsToldInOneLineAndChangesNothing) {
    const struct {
        std::string text;
        std::string why;
    } cases[] = {
        {"{\"joints\":\n {\"Head\" {}}}", "not JSON: parse error at line 2, column 10: syntax error"},
        {R"({"joints": []})", "no \"joints\" object"},
        {R"({"joints": {}, "name": "x"})", "unknown key \"name\""},
        {R"({"joints": {"Upper body": {"rotate": [0, 0, 5]}, "Waist": {}}})", "unknown joint \"Waist\""},
        {R"({"joints": {"Head": [0, 0, 0]}})", "joint \"Head\": give {\"rotate\": [x, y, z]} or {\"quat\""},
        {R"({"joints": {"Head": {}}})", "joint \"Head\": give \"rotate\" or \"quat\""},
        {R"({"joints": {"Head": {"rotate": [0, 0, 0], "quat": [0, 0, 0, 1]}}})", "not both"},
        {R"({"joints": {"Head": {"rotate": [0, 0, 0], "scale": 1}}})", "joint \"Head\": unknown key \"scale\""},
        {R"({"joints": {"Head": {"quat": 1}}})", "\"quat\" takes 4 numbers [x, y, z, w], not 1"},
        {R"({"joints": {"Head": {"rotate": [0, "9", null]}}})", "\"rotate\": item 2 is not a number: \"9\""},
        {R"({"joints": {"Head": {"quat": [0, 0, -0.0, 0]}}})", "\"quat\" has no length"},
        {std::string(100, '[') + std::string(100, ']'), "nested more than 8 deep"},
    };
    for (const auto& c : cases) {
        model::Pose pose;
        pose.rotations[0] = model::Quaternion{1, 0, 0, 0};
        std::string why;
        EXPECT_FALSE(ParsePose(c.text, pose, why)) << c.why;
        EXPECT_NE(why.find(c.why), std::string::npos) << "wanted \"" << c.why << "\", told \"" << why << "\"";
        EXPECT_EQ(why.find('\n'), std::string::npos) << why;
        EXPECT_TRUE(pose.rotations[0] && pose.rotations[0]->x == 1 && !pose.rotations[7]) << c.why << ": touched";
    }
}

TEST(PoseFile, AFileHoldsAtMostAMebibyte) {
    const std::string path = (std::filesystem::temp_directory_path() / "mw_pose_file_test.json").string();
    const std::string pose = R"({"joints": {"Head": {"rotate": [0, 15, 0]}}})";
    model::Pose read;
    std::string why;
    std::ofstream(path) << pose << std::string(kMaxPoseFileBytes - pose.size(), ' ');
    EXPECT_TRUE(ReadPoseFile(path, read, why)) << why;
    std::ofstream(path, std::ios::app) << ' ';
    EXPECT_FALSE(ReadPoseFile(path, read, why));
    EXPECT_EQ(why, "larger than 1 MiB, too large for a pose file");
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace formats
