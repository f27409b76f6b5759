// Training labels through the commands: every joint lands on its pixel by
// the file's own matrices, the head on the head in the mask, a face seen
// from behind is hidden; the same seeds give the same labels and manifest
// lines with any jobs and split; the camera and background are drawn after
// the figure; bad values are a wrong command line; the visibility rule
// case by case.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "../panels/temp_dir.h"
#include "cli/command.h"
#include "cli/figure_render.h"
#include "cli/keypoints.h"

namespace cli {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testlib::ReadAll;

const std::string kLibrary = MW_SAMPLE_LIBRARY_DIR;

class TrainingTest : public testlib::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        ASSERT_TRUE(fs::is_directory(kLibrary)) << "build the sample library first";
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

json ReadJson(const fs::path& path) { return json::parse(ReadAll(path)); }

// The 8-bit grey mask as libpng reads it back; empty when it is no PNG.
std::vector<unsigned char> ReadMask(const std::string& path, int& width) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_GRAY;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    width = static_cast<int>(image.width);
    return pixels;
}

const json& JointNamed(const json& keypoints, const std::string& name) {
    for (const json& joint : keypoints["joints"]) {
        if (joint["name"] == name) return joint;
    }
    static const json none;
    ADD_FAILURE() << "no joint " << name;
    return none;
}

// clip = M × [p, 1] for a row-major 4 × 4 matrix.
std::array<double, 4> Times(const json& m, const std::array<double, 4>& p) {
    std::array<double, 4> out{};
    for (std::size_t r = 0; r < 4; ++r) {
        for (std::size_t c = 0; c < 4; ++c) out[r] += m[4 * r + c].get<double>() * p[c];
    }
    return out;
}

TEST_F(TrainingTest, JointsLandOnTheirPixelsAndAFaceSeenFromBehindIsHidden) {
    ASSERT_EQ(Run(RunRandom, {"--seed", "3", "--count", "1", "--out", ".", "--quiet"}), kExitDone) << err.str();
    const struct {
        const char* yaw;
        const char* joint;
        bool visible;
    } rows[] = {
        {"0", "Nose", true},      {"0", "Head", true},          {"0", "Left hand", true},
        {"180", "Nose", false},   {"180", "Left eye", false},   {"180", "Head", true},
        {"90", "Left hand", true}, {"90", "Right hand", false}, {"-90", "Left hand", false},
    };
    for (const auto& row : rows) {
        const std::string name = std::string("yaw") + row.yaw;
        if (!fs::exists(name + ".json")) {
            ASSERT_EQ(Run(RunRender, {"--yaw", row.yaw, "--pose", "a-pose", "--mask", name + ".mask.png", "--keypoints",
                                      name + ".json", "--quiet", "figure-3.mwp", name + ".png"}),
                      kExitDone)
                << err.str();
        }
        const json keypoints = ReadJson(name + ".json");
        EXPECT_EQ(JointNamed(keypoints, row.joint)["visible"], row.visible) << row.joint << " at yaw " << row.yaw;
    }

    // Every joint on its pixel by the file's matrices alone: multiplied,
    // divided and put on the viewport here.
    const json keypoints = ReadJson("yaw0.json");
    const json& camera = keypoints["camera"];
    const double width = camera["width"];
    const double height = camera["height"];
    ASSERT_EQ(keypoints["joints"].size(), 22u);
    std::string offPixel;  // the first joint elsewhere, and where
    for (const json& joint : keypoints["joints"]) {
        const json& p = joint["position"];
        const std::array<double, 4> eye = Times(camera["view"], {p[0], p[1], p[2], 1.0});
        const std::array<double, 4> clip = Times(camera["projection"], eye);
        const double u = (clip[0] / clip[3] + 1) / 2 * width;
        const double v = (1 - clip[1] / clip[3]) / 2 * height;
        // The pinhole intrinsics say the same.
        const double pinholeU = camera["fx"].get<double>() * eye[0] / -eye[2] + camera["cx"].get<double>();
        const bool on = std::abs(joint["pixel"][0].get<double>() - u) < 1e-9 &&
                        std::abs(joint["pixel"][1].get<double>() - v) < 1e-9 && std::abs(pinholeU - u) < 1e-9 &&
                        std::abs(joint["camera_position"][2].get<double>() - eye[2]) < 1e-12 && joint["in_picture"];
        if (!on && offPixel.empty()) {
            offPixel = joint["name"].get<std::string>() + " at " + joint["pixel"].dump() + ", not " +
                       std::to_string(u) + ", " + std::to_string(v);
        }
    }
    EXPECT_EQ(offPixel, "");
    // The head's joint shows the head or the neck in the mask.
    int maskWidth = 0;
    const std::vector<unsigned char> mask = ReadMask("yaw0.mask.png", maskWidth);
    ASSERT_EQ(mask.size(), static_cast<std::size_t>(width * height));
    const json& head = JointNamed(keypoints, "Head");
    const auto x = static_cast<std::size_t>(head["pixel"][0].get<double>());
    const auto y = static_cast<std::size_t>(head["pixel"][1].get<double>());
    const int label = mask[y * static_cast<std::size_t>(maskWidth) + x];
    EXPECT_TRUE(label == 1 || label == 22) << "label " << label;  // Head, Neck
    EXPECT_EQ(JointNamed(keypoints, "Head")["parent"], "Neck");
    EXPECT_TRUE(JointNamed(keypoints, "Stomach")["parent"].is_null());
}

// Every file of a folder by name, with the hash of its bytes; the
// manifest's text apart.
std::map<std::string, std::size_t> FilesIn(const fs::path& dir, std::string& manifest) {
    std::map<std::string, std::size_t> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name == "manifest.jsonl") manifest = ReadAll(entry.path());
        if (name != "manifest.jsonl") files[name] = std::hash<std::string>{}(ReadAll(entry.path()));
    }
    return files;
}

TEST_F(TrainingTest, TheSameSeedsGiveTheSameLabelsAndManifestWithAnyJobsAndSplit) {
    const auto random = [&](const std::string& out, std::vector<std::string> args) {
        args.insert(args.end(), {"--out", out, "--formats", "png,mask,depth,keypoints", "--pose-jitter", "25",
                                 "--camera-jitter", "30", "--background-jitter", "--deform", "0.2", "--quiet"});
        EXPECT_EQ(Run(RunRandom, args), kExitDone) << err.str();
    };
    random("one", {"--seed", "41", "--count", "4", "--jobs", "1"});
    random("two", {"--seed", "41", "--count", "4", "--jobs", "2"});
    random("low", {"--seed", "41", "--count", "1"});
    random("high", {"--seed", "42", "--count", "3", "--jobs", "2"});
    std::string one;
    std::string two;
    std::string low;
    std::string high;
    const auto files = FilesIn("one", one);
    ASSERT_EQ(files.size(), 16u);
    EXPECT_EQ(FilesIn("two", two), files);
    auto split = FilesIn("low", low);
    split.merge(FilesIn("high", high));
    EXPECT_EQ(split, files);
    EXPECT_TRUE(two == one) << "the manifest of 2 jobs differs";
    EXPECT_TRUE(low + high == one) << "the split run's manifests differ";

    // A line stands alone: the seed, its files, the depth unit, the legend.
    std::istringstream lines(one);
    std::string text;
    std::uint32_t seed = 41;
    for (; std::getline(lines, text); ++seed) {
        const json line = json::parse(text);
        EXPECT_EQ(line["seed"], seed);
        const std::string stem = "figure-" + std::to_string(seed);
        EXPECT_EQ(line["files"].dump(), json({{"png", stem + ".png"},
                                              {"mask", stem + ".mask.png"},
                                              {"depth", stem + ".depth.png"},
                                              {"keypoints", stem + ".keypoints.json"}})
                                            .dump());
        EXPECT_EQ(line["depth_unit"], kDepthUnit);
        EXPECT_EQ(line["mask_legend"].size(), 22u);
        EXPECT_EQ(line["mask_legend"]["1"], "Head");
        EXPECT_EQ(line["mask_legend"]["22"], "Neck");
    }
    EXPECT_EQ(seed, 45u);

    // The camera and the background come after the figure and its pose: the
    // same project and joints without them, only the camera differs.
    for (const std::string folder : {"jittered", "plain"}) {
        std::vector<std::string> args = {"--seed", "41", "--count", "1", "--out", folder, "--formats", "mwp,keypoints",
                                         "--pose-jitter", "25", "--deform", "0.2", "--quiet"};
        if (folder == "jittered") args.insert(args.end(), {"--camera-jitter", "30", "--background-jitter"});
        ASSERT_EQ(Run(RunRandom, args), kExitDone) << err.str();
    }
    const json jittered = ReadJson("jittered/figure-41.keypoints.json");
    const json plain = ReadJson("plain/figure-41.keypoints.json");
    EXPECT_TRUE(ReadJson("one/figure-41.keypoints.json") == jittered) << "keypoints differ";
    EXPECT_TRUE(jittered["figure"] == plain["figure"]) << "parts, factors or pose moved";
    std::string moved;
    for (std::size_t j = 0; j < plain["joints"].size() && moved.empty(); ++j) {
        if (jittered["joints"][j]["position"] != plain["joints"][j]["position"]) moved = plain["joints"][j]["name"];
    }
    EXPECT_EQ(moved, "");
    EXPECT_TRUE(jittered["camera"]["view"] != plain["camera"]["view"]) << "the camera kept still";
    EXPECT_TRUE(ReadAll("jittered/figure-41.mwp") == ReadAll("plain/figure-41.mwp")) << "the project differs";
}

TEST_F(TrainingTest, BadLabelOptionsAreAWrongCommandLine) {
    ASSERT_EQ(Run(RunRandom, {"--seed", "3", "--count", "1", "--out", ".", "--quiet"}), kExitDone) << err.str();
    const std::string random = "random --objects " + kLibrary + " --seed 1 --count 1 --out out --formats mask ";
    const std::string render = "render --objects " + kLibrary + " figure-3.mwp out.png ";
    const struct {
        std::string arguments;
        std::string line;
    } rows[] = {
        {random + "--camera-jitter -1", "mwbatch random: --camera-jitter -1: not an angle from 0 to 90 degrees"},
        {random + "--camera-jitter 91", "mwbatch random: --camera-jitter 91: not an angle"},
        {random + "--camera-jitter x", "mwbatch random: --camera-jitter x: not an angle"},
        {random + "--background-jitter=1", "mwbatch random: "},
        {render + "--mask out.jpg", "mwbatch render: --mask out.jpg: the name must end in .png"},
        {render + "--depth out", "mwbatch render: --depth out: the name must end in .png"},
        {render + "--keypoints out.png", "mwbatch render: --keypoints out.png: the name must end in .json"},
    };
    for (const auto& row : rows) {
        const int raw = std::system((std::string(MWBATCH) + " " + row.arguments + " 2>stderr.txt").c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, kExitUsage) << row.arguments;
        const std::string message = ReadAll("stderr.txt");
        EXPECT_EQ(message.substr(0, row.line.size()), row.line) << row.arguments;
        EXPECT_FALSE(fs::exists("out") || fs::exists("out.png")) << row.arguments << ": written";
    }
    // A run without labels writes no manifest.
    EXPECT_FALSE(fs::exists("manifest.jsonl"));
}

TEST_F(TrainingTest, ALabelledRunOf200FiguresIsListedWhole) {
    ASSERT_EQ(Run(RunRandom, {"--seed", "1000", "--count", "200", "--jobs", "2", "--out", "data", "--formats",
                              "png,mask,depth,keypoints", "--pose-jitter", "25", "--camera-jitter", "30", "--quiet"}),
              kExitDone)
        << err.str();
    std::istringstream lines(ReadAll("data/manifest.jsonl"));
    std::string text;
    std::uint32_t seed = 1000;
    for (; std::getline(lines, text); ++seed) {
        const json line = json::parse(text);
        ASSERT_EQ(line["seed"], seed);
        for (const auto& [format, file] : line["files"].items()) {
            ASSERT_TRUE(fs::is_regular_file("data/" + file.get<std::string>())) << file;
        }
    }
    EXPECT_EQ(seed, 1200u);
}

// The rule on a picture of one pixel: a joint 0.1 deep whose own label is
// 5 and its parent's 8, its seam reaching 0.02, a tolerance of 0.007.
TEST(JointVisibilityTest, TheSurfaceAtThePixelDecides) {
    const struct {
        int label;
        double surface;  // model units; 0: the background
        bool inPicture;
        bool visible;
    } rows[] = {
        {5, 0.07, true, true},    // its own part, 0.03 in front: within 2 reaches and the tolerance
        {8, 0.054, true, true},   // its parent, 0.046 in front: just within
        {8, 0.052, true, false},  // 0.048 in front: beyond
        {3, 0.095, true, true},   // another part at its depth
        {3, 0.09, true, false},   // another part in front, beyond the tolerance
        {3, 0.106, true, true},   // another part just behind it
        {0, 0.0, true, false},    // the background
        {5, 0.1, false, false},   // out of the picture
    };
    for (const auto& row : rows) {
        LabelPictures labels{1, 1, {static_cast<unsigned char>(row.label)},
                             {static_cast<std::uint16_t>(std::lround(row.surface / kDepthUnit))}};
        JointView joint;
        joint.pixel = {0.5, 0.9};
        joint.depth = 0.1;
        joint.inFront = true;
        joint.inPicture = row.inPicture;
        EXPECT_EQ(JointVisible(joint, {5, 8, 0.02, 0.007}, labels), row.visible)
            << "label " << row.label << ", surface " << row.surface;
    }
}

}  // namespace
}  // namespace cli
