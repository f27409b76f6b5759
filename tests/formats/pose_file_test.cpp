// Pose files: both forms of a joint's turn, and every way a file can be
// wrong, each told in one line that says where, with the pose untouched.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "formats/pose_file.h"
#include "model/part_types.h"
#include "model/pose.h"

namespace formats {
namespace {

bool Near(const model::Quaternion& a, const model::Quaternion& b) {
    // q and -q are the same turn.
    const double dot = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    return std::abs(std::abs(dot) - 1) < 1e-12;
}

TEST(PoseFile, ReadsDegreesAndQuaternionsOfUnitLength) {
    model::Pose pose;
    std::string why;
    ASSERT_TRUE(ParsePose(R"({"joints": {"Left forearm": {"rotate": [10, -20, 90]},
                                         "Head": {"quat": [0, 0, 3, 4]},
                                         "Neck": {"quat": [1e-300, 0, 0, 0]}}})",
                          pose, why))
        << why;
    for (int type = 0; type < model::kPartTypeCount; ++type) {
        const std::string_view name = model::partTypeNames[static_cast<std::size_t>(type)];
        const auto& q = pose.rotations[static_cast<std::size_t>(type)];
        if (name == "Left forearm") {
            ASSERT_TRUE(q && Near(*q, model::QuaternionFromDegrees(10, -20, 90))) << name;
        } else if (name == "Head") {
            ASSERT_TRUE(q && Near(*q, {0, 0, 0.6, 0.8})) << name;
        } else if (name == "Neck") {
            ASSERT_TRUE(q && Near(*q, {1, 0, 0, 0})) << name;  // tiny, but it has a length
        } else {
            EXPECT_FALSE(q) << name << " was not named";
        }
    }
    EXPECT_TRUE(ParsePose(R"({"joints": {}})", pose, why) && pose.IsRest());
    EXPECT_EQ(BuiltInPoseName("T-Pose"), "t-pose");
    EXPECT_EQ(BuiltInPoseName("sitting"), "");
}

TEST(PoseFile, EveryMistakeIsToldInOneLine) {
    const struct {
        std::string text;
        std::string why;
    } cases[] = {
        {"{\"joints\":\n {\"Head\" {}}}", "not JSON: parse error at line 2, column 10: syntax error"},
        {"", "not JSON: parse error at line 1, column 1"},
        {"[]", "no \"joints\" object"},
        {R"({"joints": []})", "no \"joints\" object"},
        {R"({"joints": {}, "name": "x"})", "unknown key \"name\""},
        {R"({"joints": {"head": {"rotate": [0, 0, 0]}}})", "unknown joint \"head\" (the joints: \"Head\", \"Left ear\","},
        {R"({"joints": {"Upper body": {"rotate": [0, 0, 5]}, "Waist": {"rotate": [0, 0, 5]}}})",
         "unknown joint \"Waist\""},
        {R"({"joints": {"Head": [0, 0, 0]}})", "joint \"Head\": give {\"rotate\": [x, y, z]} or {\"quat\""},
        {R"({"joints": {"Head": {}}})", "joint \"Head\": give \"rotate\" or \"quat\""},
        {R"({"joints": {"Head": {"rotate": [0, 0, 0], "quat": [0, 0, 0, 1]}}})", "not both"},
        {R"({"joints": {"Head": {"rotate": [0, 0, 0], "scale": 1}}})", "joint \"Head\": unknown key \"scale\""},
        {R"({"joints": {"Head": {"rotate": [0, 0, 0, 0]}}})", "\"rotate\" takes 3 numbers [degrees about X, Y, Z], not 4"},
        {R"({"joints": {"Head": {"quat": [0, 0, 1]}}})", "\"quat\" takes 4 numbers [x, y, z, w], not 3"},
        {R"({"joints": {"Head": {"quat": 1}}})", "\"quat\" takes 4 numbers [x, y, z, w], not 1"},
        {R"({"joints": {"Head": {"rotate": [0, "9", 0]}}})", "\"rotate\": item 2 is not a number: \"9\""},
        {R"({"joints": {"Head": {"rotate": [0, 0, null]}}})", "item 3 is not a number: null"},
        {R"({"joints": {"Head": {"rotate": [0, 0, -1e999]}}})", "not a pose: number overflow"},
        {R"({"joints": {"Head": {"rotate": [0, 0, Infinity]}}})", "not JSON: parse error at line 1, column 39"},
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

TEST(PoseFile, AFileIsARegularFileOfAtMostAMebibyte) {
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
    EXPECT_FALSE(ReadPoseFile(path, read, why));
    EXPECT_EQ(why, "No such file or directory");
    EXPECT_FALSE(ReadPoseFile(std::filesystem::temp_directory_path().string(), read, why));
    EXPECT_EQ(why, "not a regular file");
}

}  // namespace
}  // namespace formats
