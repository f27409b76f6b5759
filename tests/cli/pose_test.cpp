// --pose and --pose-jitter through the commands: a bad pose is a wrong
// command line told in one line before any work; jittered figures are the
// same files from the same seeds whatever the jobs and the split, keep
// their parts and project files, and keep every joint within its limits; a
// posed picture moves the arms and leaves the legs; a posed export differs
// from the rest and takes a pose file's either form.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iomanip>
#include <map>
#include <numbers>
#include <sstream>

#include "../panels/temp_dir.h"
#include "../support/stl_corners.h"
#include "cli/command.h"
#include "cli/random_recipe.h"
#include "model/part_types.h"
#include "model/pose.h"

namespace cli {
namespace {

namespace fs = std::filesystem;
using testlib::ReadAll;

const std::string kLibrary = MW_SAMPLE_LIBRARY_DIR;

class PoseCommandTest : public testlib::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        ASSERT_TRUE(fs::is_directory(kLibrary)) << "build the sample library first";
        // A figure of the sample library as a project.
        ASSERT_EQ(Random({"--seed", "3", "--count", "1", "--out", "."}), kExitDone) << err.str();
        fs::rename("figure-3.mwp", "figure.mwp");
    }
    int Random(std::vector<std::string> args) { return Command(RunRandom, std::move(args), {"--quiet"}); }
    int Export(std::vector<std::string> args) { return Command(RunExport, std::move(args)); }
    int Render(std::vector<std::string> args) { return Command(RunRender, std::move(args), {"--quiet"}); }
    int Command(int (*run)(const std::vector<std::string>&, std::ostream&, std::ostream&), std::vector<std::string> args,
                std::vector<std::string> more = {}) {
        out.str("");
        err.str("");
        args.insert(args.begin(), {"--objects", kLibrary});
        args.insert(args.begin(), more.begin(), more.end());
        return run(args, out, err);
    }
    std::ostringstream out;
    std::ostringstream err;
};

// The program itself, its standard error's lines kept.
int RunProgram(const std::string& arguments, std::vector<std::string>& lines) {
    const int raw = std::system((std::string(MWBATCH) + " " + arguments + " >/dev/null 2>stderr.txt").c_str());
    std::ifstream in("stderr.txt");
    lines.clear();
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    fs::remove("stderr.txt");
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST_F(PoseCommandTest, ABadPoseIsAWrongCommandLineToldInOneLine) {
    const std::map<std::string, std::string> files = {
        {"cut.json", "{\"joints\": {\"Head\": "},
        {"tail.json", R"({"joints": {"Tail": {"rotate": [0, 0, 9]}}})"},
        {"nan.json", R"({"joints": {"Head": {"rotate": [NaN, 0, 0]}}})"},
        {"huge.json", R"({"joints": {"Head": {"rotate": [1e999, 0, 0]}}})"},
        {"two.json", R"({"joints": {"Head": {"rotate": [0, 9]}}})"},
        {"zero.json", R"({"joints": {"Head": {"quat": [0, 0, 0, 0]}}})"},
    };
    for (const auto& [name, text] : files) std::ofstream(name) << text;
    ASSERT_EQ(::mkfifo("fifo", 0600), 0);
    const std::string render = "render --objects " + kLibrary + " figure.mwp out.png --pose ";
    const std::string random = "random --objects " + kLibrary + " --seed 1 --count 1 --out out --formats png ";
    const struct {
        std::string arguments;
        std::string line;  // the first line, whole or its start
        bool oneLine;      // nothing after it (a wrong option's usage follows it)
    } rows[] = {
        {render + "cut.json", "mwbatch render: --pose cut.json: not JSON: parse error at line 1, column 21", true},
        {render + "tail.json", "mwbatch render: --pose tail.json: unknown joint \"Tail\" (the joints: \"Head\",", true},
        {render + "nan.json", "mwbatch render: --pose nan.json: not JSON: parse error at line 1, column 33", true},
        {render + "huge.json", "mwbatch render: --pose huge.json: not a pose: number overflow", true},
        {render + "two.json", "mwbatch render: --pose two.json: joint \"Head\": \"rotate\" takes 3 numbers", true},
        {render + "zero.json", "mwbatch render: --pose zero.json: joint \"Head\": \"quat\" has no length", true},
        {render + "gone.json", "mwbatch render: --pose gone.json: No such file or directory", true},
        {render + "sitting", "mwbatch render: --pose sitting: No such file or directory (nor a built-in pose: rest,",
         true},
        {render + "fifo", "mwbatch render: --pose fifo: not a regular file", true},
        {"export --objects " + kLibrary + " --pose tail.json figure.mwp out.stl", "mwbatch export: --pose tail.json:",
         true},
        {"export --objects " + kLibrary + " --pose sit figure.mwp out.mwp",
         "mwbatch export: --pose sit: a project file holds no pose", true},
        {random + "--pose zero.json", "mwbatch random: --pose zero.json: joint \"Head\"", true},
        {random + "--pose-jitter -1", "mwbatch random: --pose-jitter -1: not an angle from 0 to 180 degrees", false},
        {random + "--pose-jitter 181", "mwbatch random: --pose-jitter 181: not an angle", false},
        {random + "--pose-jitter x", "mwbatch random: --pose-jitter x: not an angle", false},
    };
    for (const auto& row : rows) {
        std::vector<std::string> lines;
        EXPECT_EQ(RunProgram(row.arguments, lines), kExitUsage) << row.arguments;
        ASSERT_FALSE(lines.empty()) << row.arguments;
        EXPECT_EQ(lines[0].substr(0, row.line.size()), row.line) << row.arguments;
        EXPECT_EQ(lines.size() == 1, row.oneLine) << row.arguments;
        EXPECT_FALSE(fs::exists("out.png") || fs::exists("out.stl") || fs::exists("out.mwp") || fs::exists("out"))
            << row.arguments << ": written before the pose was read";
    }
}

// Every file of a folder by name, with the hash of its bytes.
std::map<std::string, std::size_t> Hashes(const fs::path& folder) {
    std::map<std::string, std::size_t> hashes;
    for (const auto& entry : fs::directory_iterator(folder)) {
        hashes[entry.path().filename().string()] = std::hash<std::string>{}(ReadAll(entry.path()));
    }
    return hashes;
}

TEST_F(PoseCommandTest, JitterIsTheSameFromTheSameSeedsAndKeepsTheFigure) {
    const std::vector<std::string> run = {"--formats", "mwp,glb,obj,stl,png", "--deform", "0.2", "--pose-jitter", "25"};
    const auto with = [&](std::vector<std::string> more) {
        more.insert(more.begin(), run.begin(), run.end());
        return more;
    };
    ASSERT_EQ(Random(with({"--seed", "41", "--count", "4", "--jobs", "1", "--out", "one"})), kExitDone) << err.str();
    ASSERT_EQ(Random(with({"--seed", "41", "--count", "4", "--jobs", "2", "--out", "two"})), kExitDone) << err.str();
    ASSERT_EQ(Random(with({"--seed", "41", "--count", "1", "--out", "split"})), kExitDone) << err.str();
    ASSERT_EQ(Random(with({"--seed", "42", "--count", "3", "--jobs", "2", "--out", "split"})), kExitDone) << err.str();
    const auto one = Hashes("one");
    ASSERT_EQ(one.size(), 4u * 6u);  // the OBJ brings its .mtl
    EXPECT_TRUE(Hashes("two") == one) << "--jobs 2 made other files";
    EXPECT_TRUE(Hashes("split") == one) << "a split run made other files";

    // Drawn after the parts and factors: the same project files as without
    // the jitter, and posed meshes and pictures unlike the rest ones.
    ASSERT_EQ(Random({"--formats", "mwp,stl,png", "--deform", "0.2", "--seed", "41", "--count", "4", "--out", "rest"}),
              kExitDone);
    for (const auto& [name, hash] : Hashes("rest")) {
        EXPECT_EQ(hash == one.at(name), name.ends_with(".mwp")) << name;
    }
}

// Angles about X, then Y, then Z, in degrees, of a unit quaternion whose
// turn about Y stays within ±90°.
std::array<double, 3> AnglesOf(const model::Quaternion& q) {
    const double toDegrees = 180 / std::numbers::pi;
    return {std::atan2(2 * (q.w * q.x + q.y * q.z), 1 - 2 * (q.x * q.x + q.y * q.y)) * toDegrees,
            std::asin(std::clamp(2 * (q.w * q.y - q.z * q.x), -1.0, 1.0)) * toDegrees,
            std::atan2(2 * (q.w * q.z + q.x * q.y), 1 - 2 * (q.y * q.y + q.z * q.z)) * toDegrees};
}

TEST(PoseJitter, EveryJointStaysWithinItsLimitsAndTheJitter) {
    const std::array<double, 3> turned = AnglesOf(model::QuaternionFromDegrees(10, -20, 30));  // the axes' order
    ASSERT_NEAR(turned[0], 10, 1e-9);
    ASSERT_NEAR(turned[1], -20, 1e-9);
    ASSERT_NEAR(turned[2], 30, 1e-9);
    const ObjectLists lists = ReadObjectLists(kLibrary);
    for (double degrees : {8.0, 45.0, 180.0}) {
        int outside = 0;
        std::string first;
        for (std::uint32_t seed = 0; seed < 200; ++seed) {
            const RandomRecipe recipe = DrawRecipe(seed, lists, true, 0.2, false, degrees);
            ASSERT_TRUE(recipe.jitter.has_value());
            for (int type = 0; type < model::kPartTypeCount; ++type) {
                const auto& q = recipe.jitter->rotations[static_cast<std::size_t>(type)];
                const std::array<double, 3> angles = q ? AnglesOf(*q) : std::array<double, 3>{};
                const model::JointLimits& limits = model::LimitsOf(type);
                for (std::size_t a = 0; a < 3; ++a) {
                    const double low = std::max(-degrees, limits.low[a]) - 1e-6;
                    const double high = std::min(degrees, limits.high[a]) + 1e-6;
                    if (angles[a] >= low && angles[a] <= high) continue;
                    if (outside++ == 0) {
                        first = std::string(model::partTypeNames[static_cast<std::size_t>(type)]) + " axis " +
                                std::to_string(a) + ": " + std::to_string(angles[a]) + " (seed " +
                                std::to_string(seed) + ")";
                    }
                }
            }
        }
        EXPECT_EQ(outside, 0) << "jitter " << degrees << ", first " << first;
    }
}

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

// The file as libpng's reader gives it back, as 8-bit RGB; empty when it is no PNG.
Picture ReadPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    Picture picture{static_cast<int>(image.width), static_cast<int>(image.height), {}};
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) return {};
    return picture;
}

// Pixels that differ between two pictures of one size, in rows [top, bottom)
// and columns [left, right) given as shares of the picture.
int Differing(const Picture& a, const Picture& b, double top, double bottom, double left, double right) {
    int count = 0;
    for (int y = static_cast<int>(top * a.height); y < static_cast<int>(bottom * a.height); ++y) {
        for (int x = static_cast<int>(left * a.width); x < static_cast<int>(right * a.width); ++x) {
            const std::size_t at = 3 * (static_cast<std::size_t>(y) * a.width + x);
            count += !std::equal(&a.rgb[at], &a.rgb[at] + 3, &b.rgb[at]);
        }
    }
    return count;
}

TEST_F(PoseCommandTest, ATPoseMovesTheArmsAndLeavesTheLegs) {
    ASSERT_EQ(Render({"figure.mwp", "rest.png"}), kExitDone) << err.str();
    ASSERT_EQ(Render({"--pose", "REST", "figure.mwp", "named rest.png"}), kExitDone) << err.str();
    ASSERT_EQ(Render({"--pose", "t-pose", "figure.mwp", "t.png"}), kExitDone) << err.str();
    EXPECT_EQ(ReadAll("named rest.png"), ReadAll("rest.png"));
    const Picture rest = ReadPng("rest.png");
    const Picture t = ReadPng("t.png");
    ASSERT_TRUE(rest.width == t.width && rest.height == t.height && !rest.rgb.empty());
    // The arms out at the shoulders' height, beside the body; the hands
    // hang down to about the middle of the picture, the legs below them.
    EXPECT_GT(Differing(rest, t, 0.15, 0.35, 0.0, 0.3), 300);
    EXPECT_GT(Differing(rest, t, 0.15, 0.35, 0.7, 1.0), 300);
    EXPECT_EQ(Differing(rest, t, 0.65, 1.0, 0.0, 1.0), 0);
}

TEST_F(PoseCommandTest, APosedExportDiffersFromTheRestAndTakesEitherForm) {
    ASSERT_EQ(Export({"figure.mwp", "rest.stl"}), kExitDone) << err.str();
    ASSERT_EQ(Export({"--pose", "rest", "figure.mwp", "named rest.stl"}), kExitDone) << err.str();
    ASSERT_EQ(Export({"--pose", "sit", "figure.mwp", "sit.stl"}), kExitDone) << err.str();
    EXPECT_EQ(ReadAll("named rest.stl"), ReadAll("rest.stl"));
    EXPECT_EQ(ReadAll("sit.stl").size(), ReadAll("rest.stl").size());
    EXPECT_NE(ReadAll("sit.stl"), ReadAll("rest.stl"));

    // 90° about Z and a turn about all three axes, as degrees and as
    // quaternions scaled by 2 and 3, give the same figure.
    std::ofstream("degrees.json") << R"({"joints": {"Left forearm": {"rotate": [0, 0, 90]},
                                                 "Right thigh": {"rotate": [30, 10, -5]}}})";
    const model::Quaternion q = model::QuaternionFromDegrees(30, 10, -5);
    std::ofstream("quat.json") << std::setprecision(17) << R"({"joints": {"Left forearm": {"quat": [0, 0, )"
                               << std::sqrt(2.0) << ", " << std::sqrt(2.0) << R"(]}, "Right thigh": {"quat": [)"
                               << 3 * q.x << ", " << 3 * q.y << ", " << 3 * q.z << ", " << 3 * q.w << "]}}}";
    ASSERT_EQ(Export({"--pose", "degrees.json", "figure.mwp", "degrees.stl"}), kExitDone) << err.str();
    ASSERT_EQ(Export({"--pose", "quat.json", "figure.mwp", "quat.stl"}), kExitDone) << err.str();
    const std::vector<float> byDegrees = testsupport::StlCorners(ReadAll("degrees.stl"));
    const std::vector<float> byQuat = testsupport::StlCorners(ReadAll("quat.stl"));
    const std::vector<float> atRest = testsupport::StlCorners(ReadAll("rest.stl"));
    ASSERT_EQ(byQuat.size(), byDegrees.size());
    float largest = 0;
    float moved = 0;
    for (std::size_t i = 0; i < byQuat.size(); ++i) {
        largest = std::max(largest, std::abs(byQuat[i] - byDegrees[i]));
        moved = std::max(moved, std::abs(atRest[i] - byDegrees[i]));
    }
    EXPECT_LT(largest, 1e-3f) << "mm apart";
    EXPECT_GT(moved, 50.0f) << "mm moved at most";
}

}  // namespace
}  // namespace cli
