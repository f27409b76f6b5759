// PNG encoding: every --png-compression setting gives back the rendered
// pixels exactly, "small" is never larger than "fast", the setting reaches
// the files of both commands, and a wrong value is a wrong command line.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <utility>

#include "../panels/temp_dir.h"
#include "../support/recording_sink.h"
#include "cli/command.h"
#include "cli/figure_render.h"
#include "formats/object_library.h"
#include "formats/project_file.h"
#include "model/creature.h"
#include "model/part_types.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

const std::string kLibrary = MW_SAMPLE_LIBRARY_DIR;
constexpr PngCompression kSettings[] = {PngCompression::Fast, PngCompression::Small};

// The file as libpng's reader gives it back, as 8-bit RGB; empty when it
// is no PNG.
Picture DecodePng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    Picture picture{static_cast<int>(image.width), static_cast<int>(image.height), {}};
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) return {};
    return picture;
}

bool SamePixels(const Picture& a, const Picture& b) {
    return a.width == b.width && a.height == b.height && a.rgb == b.rgb;
}

// The sample library's first file of every part.
void LoadFigure(model::Creature& creature) {
    for (std::string_view part : model::panelOrder) {
        const std::string name(part);
        const auto files = formats::ObjectFilesOf(kLibrary, name);
        ASSERT_FALSE(files.empty()) << name;
        ASSERT_TRUE(creature.SetPart(name, (formats::PartFolder(kLibrary, name) + "/" + files[0]).c_str(), 0));
    }
}

class PngTest : public testlib::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        LoadFigure(creature);
    }
    testsupport::RecordingSink sink;
    model::Creature creature{sink};
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(PngTest, EverySettingGivesBackThePixelsAndSmallIsNoLarger) {
    RenderSettings wire;
    wire.width = 301;  // rows of an odd length
    wire.height = 199;
    wire.drawMode = 2;
    wire.background[2] = 0.6f;
    Picture noise{37, 23, std::vector<unsigned char>(37 * 23 * 3)};  // what no filter can predict
    std::mt19937 random(5);
    for (unsigned char& byte : noise.rgb) byte = static_cast<unsigned char>(random());
    std::vector<Picture> pictures(2);
    std::string error;
    ASSERT_TRUE(RenderPicture(creature, RenderSettings{}, pictures[0], error)) << error;
    ASSERT_TRUE(RenderPicture(creature, wire, pictures[1], error)) << error;
    pictures.push_back(noise);
    pictures.push_back(Picture{1, 1, {255, 0, 7}});
    for (std::size_t p = 0; p < pictures.size(); ++p) {
        std::uintmax_t sizes[2] = {};
        for (int s = 0; s < 2; ++s) {
            ASSERT_TRUE(WritePng(pictures[p], "out.png", kSettings[s])) << p;
            EXPECT_TRUE(SamePixels(DecodePng("out.png"), pictures[p])) << "picture " << p << ", setting " << s;
            sizes[s] = fs::file_size("out.png");
        }
        if (p == 0) {
            EXPECT_LE(sizes[1], sizes[0]) << "the sample figure";
        }
    }
}

TEST_F(PngTest, BothCommandsTakeTheSettingAndRefuseOthers) {
    ASSERT_TRUE(formats::SaveProject(creature, "figure.mwp", kLibrary, sink));
    fs::create_directories("fast");
    fs::create_directories("small");
    const auto random = [&](const std::string& outDir, const std::string& value) {
        return RunRandom({"--objects", kLibrary, "--out", outDir, "--count", "1", "--seed", "7", "--formats", "png",
                          "--quiet", "--png-compression", value},
                         out, err);
    };
    const auto render = [&](const std::string& file, const std::string& value) {
        return RunRender({"--objects", kLibrary, "--quiet", "--png-compression", value, "figure.mwp", file}, out, err);
    };
    ASSERT_EQ(random("fast", "fast"), kExitDone) << err.str();
    ASSERT_EQ(random("small", "Small"), kExitDone) << err.str();
    ASSERT_EQ(render("fast.png", "FAST"), kExitDone) << err.str();
    ASSERT_EQ(render("small.png", "small"), kExitDone) << err.str();
    const std::pair<const char*, const char*> files[] = {{"fast/figure-7.png", "small/figure-7.png"},
                                                         {"fast.png", "small.png"}};
    for (const auto& [fast, small] : files) {
        EXPECT_TRUE(SamePixels(DecodePng(fast), DecodePng(small))) << fast;
        EXPECT_LT(fs::file_size(small), fs::file_size(fast)) << fast;
    }

    err.str("");
    EXPECT_EQ(random("small", "x"), kExitUsage);
    EXPECT_EQ(err.str().substr(0, err.str().find('\n')), "mwbatch random: --png-compression x: fast or small");
    err.str("");
    EXPECT_EQ(render("other.png", "best"), kExitUsage);
    EXPECT_EQ(err.str().substr(0, err.str().find('\n')), "mwbatch render: --png-compression best: fast or small");
    EXPECT_FALSE(fs::exists("other.png"));
    EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace cli
