// mwbatch thumbnail through the real program, as a file manager calls it:
// the figure on the grey background at the size asked for, a file:// URI
// as input, the library found through mw.cfg or next to an installed
// program, and no file at all when nothing could be drawn.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <fstream>
#include <sys/wait.h>

#include "../panels/temp_dir.h"
#include "formats/object_library.h"
#include "formats/object_reader.h"
#include "formats/project_file.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "ui/message_sink.h"

namespace {

namespace fs = std::filesystem;
const std::string kLibrary = MW_SAMPLE_LIBRARY_DIR;
constexpr unsigned char kGrey = 191;  // the thumbnail's background, 0.75

struct Rgb {
    png_uint_32 width = 0, height = 0;
    std::vector<unsigned char> pixels;
};

Rgb ReadPng(const fs::path& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Rgb rgb;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return rgb;
    image.format = PNG_FORMAT_RGB;
    rgb.pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.pixels.data(), 0, nullptr)) return {};
    rgb.width = image.width;
    rgb.height = image.height;
    return rgb;
}

// Pixels that are not the background within the square [from, to) of
// each side, as fractions of it.
int FigurePixels(const Rgb& rgb, double from, double to) {
    int count = 0;
    for (auto y = static_cast<png_uint_32>(from * rgb.height); y < to * rgb.height; ++y) {
        for (auto x = static_cast<png_uint_32>(from * rgb.width); x < to * rgb.width; ++x) {
            const unsigned char* p = &rgb.pixels[3 * (y * rgb.width + x)];
            count += !(p[0] == kGrey && p[1] == kGrey && p[2] == kGrey);
        }
    }
    return count;
}

class ThumbnailTest : public testlib::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        // The sample library's first file of every part, saved as a project;
        // the same with the head's file gone, and with every file gone.
        ui::SilentSink sink;
        model::Creature creature(sink);
        for (std::string_view part : model::panelOrder) {
            const std::string name(part);
            const auto files = formats::ObjectFilesOf(kLibrary, name);
            ASSERT_FALSE(files.empty()) << name;
            ASSERT_TRUE(formats::SetPartFromFile(creature, name, formats::PartFolder(kLibrary, name) + "/" + files[0], 0));
            if (name == "Head") headFile = files[0];
        }
        const std::string project = formats::FormatProject(creature, kLibrary);
        std::ofstream(dir / "my figure.mwp", std::ios::binary) << project;
        std::string partial = project;
        partial.replace(partial.find("\\Head\\" + headFile), 6 + headFile.size(), "\\Head\\gone.mwo");
        std::ofstream(dir / "partial.mwp", std::ios::binary) << partial;
        std::string none = project;
        for (std::size_t at = none.find(".mwo"); at != std::string::npos; at = none.find(".mwo", at + 5)) {
            none.replace(at, 4, ".gone");
        }
        std::ofstream(dir / "nothing.mwp", std::ios::binary) << none;
        std::ofstream(dir / "not a project.mwp", std::ios::binary) << "\x89PNG\r\n";
        std::ofstream(dir / "mw.cfg", std::ios::binary) << "ObjectDir " << kLibrary << "\r\n";
    }
    // Runs `program` with `arguments` (shell words) in the test's folder.
    int Run(const std::string& program, const std::string& arguments, const std::string& environment = "") {
        const std::string command = environment + " '" + program + "' " + arguments + " >out.txt 2>err.txt";
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    std::string headFile;
};

TEST_F(ThumbnailTest, TheFigureOnGreyOrNoFileWithTheStatusOfTheContract) {
    const std::string uri = "file://" + (dir / "my%20figure.mwp").string();
    const struct {
        std::string arguments;
        int status;
        int size;  // of the picture written; 0 for none
    } rows[] = {
        {"-s 128 'my figure.mwp' thumb.png", 0, 128},
        {"--size=32 " + uri + " thumb.png", 0, 32},
        {"-s 128 partial.mwp thumb.png", 0, 128},
        {"-s 1 'my figure.mwp' sub/thumb.png", 0, 1},
        {"-s 128 nothing.mwp thumb.png", 1, 0},
        {"-s 128 'not a project.mwp' thumb.png", 1, 0},
        {"-s 128 gone.mwp thumb.png", 1, 0},
        {"-s 128 http://example.org/a.mwp thumb.png", 1, 0},
        {"-s 0 'my figure.mwp' thumb.png", 2, 0},
        {"-s 1025 'my figure.mwp' thumb.png", 2, 0},
        {"-s 12x 'my figure.mwp' thumb.png", 2, 0},
        {"'my figure.mwp' thumb.png", 2, 0},
        {"-s 128 'my figure.mwp'", 2, 0},
        {"-s 128 --bogus 'my figure.mwp' thumb.png", 2, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments);
        fs::remove_all(dir / "sub");
        fs::remove(dir / "thumb.png");
        EXPECT_EQ(Run(MWBATCH, "thumbnail " + row.arguments), row.status) << testlib::ReadAll(dir / "err.txt");
        EXPECT_EQ(testlib::ReadAll(dir / "out.txt"), "");
        const fs::path written = row.arguments.find("sub/") != std::string::npos ? dir / "sub/thumb.png" : dir / "thumb.png";
        EXPECT_EQ(fs::exists(written), row.size > 0);
        if (row.size == 0) continue;
        const Rgb rgb = ReadPng(written);
        EXPECT_EQ(rgb.width, static_cast<png_uint_32>(row.size));
        EXPECT_EQ(rgb.height, static_cast<png_uint_32>(row.size));
        if (row.size < 32) continue;
        // The figure stands in the middle; the corners are background.
        EXPECT_GT(FigurePixels(rgb, 0.4, 0.6), row.size * row.size / 50);
        EXPECT_EQ(FigurePixels(rgb, 0, 0.05), 0);
    }
}

// Installed as <prefix>/bin/mwbatch beside <prefix>/share/morphwright/objects
// and run where no mw.cfg is, it finds the library there.
TEST_F(ThumbnailTest, AnInstalledProgramFindsTheLibraryBesideIt) {
    fs::remove(dir / "mw.cfg");
    fs::create_directories(dir / "prefix/bin");
    fs::create_directories(dir / "prefix/share/morphwright");
    fs::create_directories(dir / "home");
    fs::copy_file(MWBATCH, dir / "prefix/bin/mwbatch");
    fs::create_directory_symlink(kLibrary, dir / "prefix/share/morphwright/objects");
    const std::string environment = "env HOME='" + (dir / "home").string() + "' XDG_CONFIG_HOME=";
    EXPECT_EQ(Run((dir / "prefix/bin/mwbatch").string(), "thumbnail -s 64 'my figure.mwp' thumb.png", environment), 0)
        << testlib::ReadAll(dir / "err.txt");
    EXPECT_GT(FigurePixels(ReadPng(dir / "thumb.png"), 0.4, 0.6), 0);
    // Without the library beside it, there is none to be found.
    fs::remove(dir / "prefix/share/morphwright/objects");
    fs::remove(dir / "thumb.png");
    EXPECT_EQ(Run((dir / "prefix/bin/mwbatch").string(), "thumbnail -s 64 'my figure.mwp' thumb.png", environment), 1);
    EXPECT_FALSE(fs::exists(dir / "thumb.png"));
}

}  // namespace
