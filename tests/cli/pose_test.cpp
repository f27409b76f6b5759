// --pose and --pose-jitter through the commands: a bad pose is a wrong
// command line told in one line before any work; jittered figures are the
// same files whatever the jobs and the split, keep their parts, and keep
// every joint within its limits; a t-pose moves the arms' pixels and not
// the legs'; a posed export differs from the rest.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <sstream>

#include "../panels/temp_dir.h"
#include "cli/command.h"
#include "cli/figure_render.h"
#include "cli/random_recipe.h"

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
        ASSERT_EQ(Run(RunRandom, {"--seed", "3", "--count", "1", "--out", ".", "--quiet"}), kExitDone) << err.str();
        fs::rename("figure-3.mwp", "figure.mwp");
    }
    int Run(int (*command)(const std::vector<std::string>&, std::ostream&, std::ostream&),
            std::vector<std::string> args) {
        err.str("");
        args.insert(args.begin(), {"--objects", kLibrary});
        std::ostringstream out;
        return command(args, out, err);
    }
    std::ostringstream err;
};

TEST_F(PoseCommandTest, ABadPoseIsAWrongCommandLineToldInOneLine) {
    for (const auto& [name, text] : std::map<std::string, std::string>{
             {"cut", "{\"joints\": {\"Head\": "},
             {"tail", R"({"joints": {"Tail": {"rotate": [0, 0, 9]}}})"},
             {"nan", R"({"joints": {"Head": {"rotate": [NaN, 0, 0]}}})"},
             {"huge", R"({"joints": {"Head": {"rotate": [1e999, 0, 0]}}})"},
             {"two", R"({"joints": {"Head": {"rotate": [0, 9]}}})"},
             {"zero", R"({"joints": {"Head": {"quat": [0, 0, 0, 0]}}})"}}) {
        std::ofstream(name + ".json") << text;
    }
    ASSERT_EQ(::mkfifo("fifo", 0600), 0);
    const std::string render = "render --objects " + kLibrary + " figure.mwp out.png --pose ";
    const std::string random = "random --objects " + kLibrary + " --seed 1 --count 1 --out out --pose-jitter ";
    const struct {
        std::string arguments;
        std::string line;  // the start of the first line
        bool oneLine;      // a wrong option's usage follows its line
    } rows[] = {
        {render + "cut.json", "mwbatch render: --pose cut.json: not JSON: parse error at line 1, column 21", true},
        {render + "tail.json", "mwbatch render: --pose tail.json: unknown joint \"Tail\" (the joints: ", true},
        {render + "nan.json", "mwbatch render: --pose nan.json: not JSON: parse error at line 1, column 33", true},
        {render + "huge.json", "mwbatch render: --pose huge.json: not a pose: number overflow", true},
        {render + "two.json", "mwbatch render: --pose two.json: joint \"Head\": \"rotate\" takes 3 numbers", true},
        {render + "zero.json", "mwbatch render: --pose zero.json: joint \"Head\": \"quat\" has no length", true},
        {render + "gone.json", "mwbatch render: --pose gone.json: No such file or directory", true},
        {render + "sitting", "mwbatch render: --pose sitting: No such file or directory (nor a built-in pose:", true},
        {render + "fifo", "mwbatch render: --pose fifo: not a regular file", true},
        {"export --objects " + kLibrary + " --pose tail.json figure.mwp out.stl", "mwbatch export: --pose tail.json:",
         true},
        {"export --objects " + kLibrary + " --pose sit figure.mwp out.mwp",
         "mwbatch export: --pose sit: a project file holds no pose", true},
        {random + "5 --pose zero.json", "mwbatch random: --pose zero.json: joint \"Head\"", true},
        {random + "-1", "mwbatch random: --pose-jitter -1: not an angle from 0 to 180 degrees", false},
        {random + "181", "mwbatch random: --pose-jitter 181: not an angle", false},
        {random + "x", "mwbatch random: --pose-jitter x: not an angle", false},
    };
    for (const auto& row : rows) {
        const int raw = std::system((std::string(MWBATCH) + " " + row.arguments + " 2>stderr.txt").c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, kExitUsage) << row.arguments;
        std::ifstream lines("stderr.txt");
        std::string first;
        std::getline(lines, first);
        EXPECT_EQ(first.substr(0, row.line.size()), row.line) << row.arguments;
        EXPECT_EQ(lines.peek() == EOF, row.oneLine) << row.arguments;
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
    const auto random = [&](const std::string& jitter, std::vector<std::string> seeds) {
        seeds.insert(seeds.end(), {"--formats", "mwp,glb,obj,stl,png", "--deform", "0.2", "--quiet"});
        if (!jitter.empty()) seeds.insert(seeds.end(), {"--pose-jitter", jitter});
        EXPECT_EQ(Run(RunRandom, seeds), kExitDone) << err.str();
    };
    random("25", {"--seed", "41", "--count", "4", "--jobs", "1", "--out", "one"});
    random("25", {"--seed", "41", "--count", "4", "--jobs", "2", "--out", "two"});
    random("25", {"--seed", "41", "--count", "1", "--out", "split"});
    random("25", {"--seed", "42", "--count", "3", "--jobs", "2", "--out", "split"});
    random("", {"--seed", "41", "--count", "4", "--out", "rest"});
    const auto one = Hashes("one");
    ASSERT_EQ(one.size(), 4u * 6u);  // the OBJ brings its .mtl
    EXPECT_TRUE(Hashes("two") == one) << "--jobs 2 made other files";
    EXPECT_TRUE(Hashes("split") == one) << "a split run made other files";
    // Drawn after the parts and factors: the project files are the rest
    // run's, the posed meshes and pictures are not (the .glb's joint
    // rotations are its writer's to check).
    for (const auto& [name, hash] : Hashes("rest")) {
        const std::string extension = fs::path(name).extension().string();
        if (extension == ".mwp") {
            EXPECT_EQ(hash, one.at(name)) << name;
        } else if (extension == ".stl" || extension == ".obj" || extension == ".png") {
            EXPECT_NE(hash, one.at(name)) << name;
        }
    }
}

TEST(PoseJitter, EveryJointStaysWithinItsLimitsAndTheJitter) {
    // Angles about X, then Y, then Z, in degrees (the turn about Y within ±90°).
    const auto anglesOf = [](const model::Quaternion& q) {
        const double degrees = 180 / std::numbers::pi;
        return std::array<double, 3>{
            std::atan2(2 * (q.w * q.x + q.y * q.z), 1 - 2 * (q.x * q.x + q.y * q.y)) * degrees,
            std::asin(std::clamp(2 * (q.w * q.y - q.z * q.x), -1.0, 1.0)) * degrees,
            std::atan2(2 * (q.w * q.z + q.x * q.y), 1 - 2 * (q.y * q.y + q.z * q.z)) * degrees};
    };
    const ObjectLists lists = ReadObjectLists(kLibrary);
    for (double jitter : {8.0, 45.0, 180.0}) {
        std::string outside;
        for (std::uint32_t seed = 0; seed < 200 && outside.empty(); ++seed) {
            const RandomRecipe recipe = DrawRecipe(seed, lists, true, 0.2, false, jitter);
            ASSERT_TRUE(recipe.jitter.has_value());
            for (int type = 0; type < model::kPartTypeCount; ++type) {
                const auto& q = recipe.jitter->rotations[static_cast<std::size_t>(type)];
                const std::array<double, 3> angles = q ? anglesOf(*q) : std::array<double, 3>{};
                const model::JointLimits& limits = model::LimitsOf(type);
                for (std::size_t a = 0; a < 3; ++a) {
                    if (angles[a] < std::max(-jitter, limits.low[a]) - 1e-6 ||
                        angles[a] > std::min(jitter, limits.high[a]) + 1e-6) {
                        outside = std::string(model::partTypeNames[static_cast<std::size_t>(type)]) + " axis " +
                                  std::to_string(a) + ": " + std::to_string(angles[a]) + ", seed " +
                                  std::to_string(seed);
                    }
                }
            }
        }
        EXPECT_EQ(outside, "") << "jitter " << jitter;
    }
}

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

// Pixels that differ between two pictures of one size, in rows [top,
// bottom) and columns [left, right), given as shares of the picture.
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
    ASSERT_EQ(Run(RunRender, {"--quiet", "figure.mwp", "rest.png"}), kExitDone) << err.str();
    ASSERT_EQ(Run(RunRender, {"--quiet", "--pose", "REST", "figure.mwp", "named rest.png"}), kExitDone) << err.str();
    ASSERT_EQ(Run(RunRender, {"--quiet", "--pose", "t-pose", "figure.mwp", "t.png"}), kExitDone) << err.str();
    EXPECT_EQ(ReadAll("named rest.png"), ReadAll("rest.png"));
    const Picture rest = ReadPng("rest.png");
    const Picture t = ReadPng("t.png");
    ASSERT_TRUE(rest.width == t.width && rest.height == t.height && !rest.rgb.empty());
    // The arms out at the shoulders' height on either side; the hands hang
    // to about the middle of the picture, the legs below them.
    EXPECT_GT(Differing(rest, t, 0.15, 0.35, 0.0, 0.3), 300);
    EXPECT_GT(Differing(rest, t, 0.15, 0.35, 0.7, 1.0), 300);
    EXPECT_EQ(Differing(rest, t, 0.65, 1.0, 0.0, 1.0), 0);
}

TEST_F(PoseCommandTest, APosedExportDiffersFromTheRest) {
    std::ofstream("quat.json") << R"({"joints": {"Left thigh": {"quat": [0.5, 0, 0, 1.2]}}})";
    for (const std::string pose : {"", "rest", "sit", "quat.json"}) {
        std::vector<std::string> args = {"figure.mwp", (pose.empty() ? "plain" : pose) + ".stl"};
        if (!pose.empty()) args.insert(args.begin(), {"--pose", pose});
        ASSERT_EQ(Run(RunExport, args), kExitDone) << pose << ": " << err.str();
    }
    const std::string rest = ReadAll("plain.stl");
    EXPECT_EQ(ReadAll("rest.stl"), rest);
    EXPECT_TRUE(ReadAll("sit.stl").size() == rest.size() && ReadAll("sit.stl") != rest);
    EXPECT_TRUE(ReadAll("quat.json.stl").size() == rest.size() && ReadAll("quat.json.stl") != rest);
}

}  // namespace
}  // namespace cli
