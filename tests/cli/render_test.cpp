// mwbatch render and the headless renderer under it: the picture is the
// view's picture, pixel for pixel, also from several threads at once and
// whatever the context drew before; the creature is left as it was; the
// command's colours, highlight and size reach the PNG, which decodes to the
// picture's pixels with either compression; bad input writes nothing.
#include <GL/osmesa.h>
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "../panels/temp_dir.h"
#include "../panels/tiny_library.h"
#include "../support/recording_sink.h"
#include "cli/command.h"
#include "cli/figure_render.h"
#include "formats/object_library.h"
#include "formats/object_reader.h"
#include "formats/project_file.h"
#include "model/creature.h"
#include "view/creature_view.h"

namespace cli {
namespace {

const std::string kLibrary = MW_SAMPLE_LIBRARY_DIR;

using testsupport::RecordingSink;
using Rgb = std::array<unsigned char, 3>;

int Count(const Picture& picture, Rgb wanted) {
    int count = 0;
    for (std::size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
        count += Rgb{picture.rgb[i], picture.rgb[i + 1], picture.rgb[i + 2]} == wanted;
    }
    return count;
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

// The sample library's first file of every part, chosen as the "Main" page does.
void LoadFigure(model::Creature& creature) {
    for (std::string_view part : model::panelOrder) {
        const std::string name(part);
        const auto files = formats::ObjectFilesOf(kLibrary, name);
        ASSERT_FALSE(files.empty()) << name;
        ASSERT_TRUE(formats::SetPartFromFile(creature, name, formats::PartFolder(kLibrary, name) + "/" + files[0], 0));
    }
}

// The view set up as the program does at start-up, drawing in a fresh
// context that is left current (kept: OSMesa never frees its framebuffer).
Picture ViewPicture(model::Creature& creature, const RenderSettings& s, std::vector<unsigned char>& frame) {
    static std::vector<OSMesaContext> contexts;
    const int width = s.width != 0 ? s.width : ViewPixelWidth();
    const int height = s.height != 0 ? s.height : ViewPixelHeight();
    contexts.push_back(OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr));
    frame.assign(4 * static_cast<std::size_t>(width) * height, 0);
    EXPECT_TRUE(OSMesaMakeCurrent(contexts.back(), frame.data(), GL_UNSIGNED_BYTE, width, height));
    RecordingSink sink;
    view::CreatureView view(sink);
    view.OnCreate();
    view.OnGlInit(ui::GlStatus::Ok);
    view.OnSize(width, height);
    view.creature = &creature;
    view.state = s.view;
    view.DrawFrame();
    glFinish();
    Picture picture{width, height, {}};
    for (int y = height - 1; y >= 0; --y) {  // OSMesa's first row is the bottom one
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = frame.data() + 4 * (static_cast<std::size_t>(y) * width + x);
            picture.rgb.insert(picture.rgb.end(), p, p + 3);
        }
    }
    return picture;
}

// Size, mode, yaw, pitch, zoom, light, background, wire, selected panel.
RenderSettings Case(int width, int height, int mode, float yaw, float pitch, float zoom, float light,
                    std::array<float, 3> background, std::array<float, 3> wire, int selected) {
    RenderSettings s{width, height, {}};
    s.view.drawMode = mode;
    s.view.yaw = yaw;
    s.view.pitch = pitch;
    s.view.zoom = zoom;
    s.view.lightLevel = light;
    std::copy(background.begin(), background.end(), s.view.backgroundColor);
    std::copy(wire.begin(), wire.end(), s.view.wireColor);
    s.view.selectedPanel = selected;
    return s;
}

const RenderSettings kCases[] = {
    {},  // the program's start-up view, at the view's size
    Case(320, 240, 1, 0.6f, -0.3f, 1.6f, 0.3f, {0.2f, 0.4f, 0.6f}, {0.8f, 0.8f, 0.8f}, 8),
    Case(200, 310, 2, -2.5f, 0.4f, 0.9f, 0.5f, {1, 1, 1}, {0, 0.5f, 1}, 0),
    Case(101, 97, 0, 3.1f, 1.2f, 1.1f, 0.0f, {0, 0, 0}, {0.8f, 0.8f, 0.8f}, 15),
};

TEST(RenderPicture, IsTheViewsPictureAndKeepsTheCallersContext) {
    RecordingSink sink;
    model::Creature creature(sink);
    LoadFigure(creature);
    for (const RenderSettings& s : kCases) {
        std::vector<unsigned char> frame;
        const Picture expected = ViewPicture(creature, s, frame);
        const OSMesaContext viewContext = OSMesaGetCurrentContext();
        Picture picture;
        std::string error;
        ASSERT_TRUE(RenderPicture(creature, s, picture, error)) << error;
        EXPECT_EQ(picture.width, expected.width);
        EXPECT_EQ(picture.height, expected.height);
        EXPECT_TRUE(picture.rgb == expected.rgb) << "mode " << s.view.drawMode << ": the pictures differ";

        EXPECT_EQ(OSMesaGetCurrentContext(), viewContext);
        OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);  // before `frame` goes
    }
    EXPECT_TRUE(sink.shown.empty());
}

TEST(RenderPicture, ThreadsRenderingAtOnceEachGetTheSamePicture) {
    RecordingSink sink;
    model::Creature creature(sink);
    LoadFigure(creature);
    Picture expected;
    std::string error;
    ASSERT_TRUE(RenderPicture(creature, kCases[1], expected, error)) << error;
    constexpr int kThreads = 4;
    constexpr int kPictures = 3;
    std::vector<int> matches(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            RecordingSink ownSink;
            model::Creature own(ownSink);  // a figure per thread, as a batch has
            LoadFigure(own);
            for (int i = 0; i < kPictures; ++i) {
                Picture picture;
                std::string ownError;
                matches[t] += RenderPicture(own, kCases[1], picture, ownError) && picture.rgb == expected.rgb;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(matches, std::vector<int>(kThreads, kPictures));
}

class RenderStateTest : public testlib::TempDirTest {};

// Flat shading gives a quad whose first three corners lie in a line the
// normal OpenGL holds from earlier drawing; a smooth picture of parts with
// these point normals leaves another one there than a fresh context has.
TEST_F(RenderStateTest, APictureDoesNotDependOnWhatItsContextDrewBefore) {
    formats::ObjectFileData head = testlib::TinyPart(0.1f);
    head.points = {-0.1f, -0.05f, 0, -0.05f, -0.05f, 0, 0, -0.05f, 0, -0.1f, 0.05f, 0,
                   0.02f, -0.05f, 0, 0.1f, -0.05f, 0, 0.1f, 0.05f, 0, 0.02f, 0.05f, 0};
    head.normals.clear();
    for (int i = 0; i < 8; ++i) head.normals.insert(head.normals.end(), {0.6f, 0.8f, 0});
    head.polygons = {model::Polygon{0, 1, 2, 3, 0}, model::Polygon{4, 5, 6, 7, 0}};
    formats::WriteObjectFile("head.mwo", head);
    RecordingSink sink;
    model::Creature creature(sink);
    ASSERT_TRUE(formats::SetPartFromFile(creature, "Head", "head.mwo", 0));
    RenderSettings smooth;
    smooth.width = smooth.height = 64;
    RenderSettings flat = smooth;
    flat.view.drawMode = 1;
    Picture picture;
    std::string error;
    ASSERT_TRUE(RenderPicture(creature, smooth, picture, error)) << error;
    ASSERT_TRUE(RenderPicture(creature, flat, picture, error)) << error;
    std::vector<unsigned char> frame;
    EXPECT_TRUE(picture.rgb == ViewPicture(creature, flat, frame).rgb);
    OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
}

class RenderCommandTest : public testlib::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        RecordingSink sink;
        model::Creature creature(sink);
        LoadFigure(creature);
        ASSERT_TRUE(formats::SaveProject(creature, "figure.mwp", kLibrary, sink));
    }
    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        args.insert(args.begin(), {"--objects", kLibrary});
        return RunRender(args, out, err);
    }
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(RenderCommandTest, ColoursHighlightAndSizeReachThePng) {
    const Rgb yellow{255, 255, 0};
    const Rgb wire{0, 255, 0};
    const struct {
        std::vector<std::string> options;
        int width, height;
        bool wireShown, yellowShown;
    } cases[] = {
        {{"--mode", "WIRE", "--wire", "0,1,0", "--background", "0, 0, 1", "--size", "300x200"}, 300, 200, true, false},
        {{"--mode=wire", "--wire=0,1,0", "--background=0,0,1", "--select", "UPPER body"}, 547, 557, true, true},
        {{"--background", "0,0,1", "--select", "head", "--size", "120X260", "--yaw", "-30", "--zoom", "1.2"},
         120, 260, false, true},
        {{"--background", "0,0,1", "--mode", "flat", "--pitch", "15.5", "--quiet"}, 547, 557, false, false},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {"figure.mwp", "out.png"});
        ASSERT_EQ(Run(args), kExitDone) << err.str();
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&image, "out.png"));
        image.format = PNG_FORMAT_RGB;
        Picture picture{static_cast<int>(image.width), static_cast<int>(image.height), {}};
        picture.rgb.resize(PNG_IMAGE_SIZE(image));
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr));
        EXPECT_EQ(picture.width, c.width) << args[1];
        EXPECT_EQ(picture.height, c.height) << args[1];
        EXPECT_EQ((Rgb{picture.rgb[0], picture.rgb[1], picture.rgb[2]}), (Rgb{0, 0, 255})) << args[1];
        EXPECT_EQ(Count(picture, wire) > 100, c.wireShown) << args[1];
        EXPECT_EQ(Count(picture, yellow) > 100, c.yellowShown) << args[1];
        EXPECT_EQ(err.str(), "");
        const std::string size = std::to_string(c.width) + "x" + std::to_string(c.height);
        EXPECT_EQ(out.str(), c.options.back() == "--quiet" ? "" : "out.png: " + size + ", 22 parts\n");
    }
}

// Fast and small files decode to the rendered pixels (noise and a single
// pixel try the filters); render and random take either, and small files
// are smaller.
TEST_F(RenderCommandTest, EveryPngCompressionGivesBackThePixels) {
    RecordingSink sink;
    model::Creature creature(sink);
    LoadFigure(creature);
    std::vector<Picture> pictures(1);
    std::string error;
    ASSERT_TRUE(RenderPicture(creature, RenderSettings{}, pictures[0], error)) << error;
    pictures.push_back(Picture{37, 23, std::vector<unsigned char>(37 * 23 * 3)});
    std::generate(pictures[1].rgb.begin(), pictures[1].rgb.end(), std::mt19937(5));
    pictures.push_back(Picture{1, 1, {255, 0, 7}});
    for (const Picture& picture : pictures) {
        for (PngCompression compression : {PngCompression::Fast, PngCompression::Small}) {
            ASSERT_TRUE(WritePng(picture, "direct.png", compression));
            EXPECT_TRUE(ReadPng("direct.png").rgb == picture.rgb) << picture.width << ", " << int(compression);
        }
    }
    std::filesystem::create_directories("fast");
    std::filesystem::create_directories("small");
    for (const std::string value : {"fast", "SMALL"}) {
        ASSERT_EQ(Run({"--png-compression", value, "figure.mwp", value + ".png"}), kExitDone) << err.str();
        const std::string folder = value == "fast" ? "fast" : "small";
        ASSERT_EQ(RunRandom({"--objects", kLibrary, "--out", folder, "--count", "1", "--seed", "7", "--formats", "png",
                             "--quiet", "--png-compression", value},
                            out, err),
                  kExitDone)
            << err.str();
    }
    for (const auto& [fast, small] : {std::pair{"fast.png", "SMALL.png"}, {"fast/figure-7.png", "small/figure-7.png"}}) {
        EXPECT_LT(std::filesystem::file_size(small), std::filesystem::file_size(fast)) << fast;
        const Picture decoded = ReadPng(fast);
        EXPECT_TRUE(ReadPng(small).rgb == decoded.rgb && decoded.width == 547) << fast;
    }
    err.str("");
    EXPECT_EQ(RunRandom({"--objects", kLibrary, "--out", "fast", "--count", "1", "--seed", "7", "--png-compression",
                         "x"},
                        out, err),
              kExitUsage);
    EXPECT_EQ(err.str().substr(0, err.str().find('\n')), "mwbatch random: --png-compression x: fast or small");
}

TEST_F(RenderCommandTest, BadInputSaysWhatIsWrongAndWritesNothing) {
    const std::string largest = std::to_string(MaxRenderSize());
    std::ofstream("empty.mwp") << "MW1\r\n0\r\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"missing.mwp", "out.png"}, kExitFailed,
         "Error!: Couldn't open project file! (missing.mwp: No such file or directory)\n"},
        {{"empty.mwp", "out.png"}, kExitFailed, "empty.mwp: no part could be loaded, nothing written\n"},
        {{"figure.mwp", "no folder/out.png"}, kExitFailed, "no folder/out.png: could not be written\n"},
        {{"--size", "0x100", "figure.mwp", "out.png"}, kExitFailed, "must be 1 to " + largest},
        {{"--size", "10x" + std::to_string(MaxRenderSize() + 1), "figure.mwp", "out.png"}, kExitFailed,
         "must be 1 to " + largest},
        {{"--size", "99999999999999999999x10", "figure.mwp", "out.png"}, kExitFailed, "must be 1 to"},
        {{"--size", "10", "figure.mwp", "out.png"}, kExitUsage, "--size 10: give the size as WIDTHxHEIGHT"},
        {{"--size", "-5x10", "figure.mwp", "out.png"}, kExitUsage, "give the size as WIDTHxHEIGHT"},
        {{"--mode", "sketch", "figure.mwp", "out.png"}, kExitUsage, "--mode sketch: the mode is smooth, flat or wire"},
        {{"--yaw", "ten", "figure.mwp", "out.png"}, kExitUsage, "--yaw ten: not a number"},
        {{"--zoom", "nan", "figure.mwp", "out.png"}, kExitUsage, "--zoom nan: not a number"},
        {{"--background", "1,0", "figure.mwp", "out.png"}, kExitUsage, "--background 1,0: give the colour as R,G,B"},
        {{"--wire", "0,0,1.5", "figure.mwp", "out.png"}, kExitUsage, "--wire 0,0,1.5: give the colour as R,G,B"},
        {{"--select", "Tail", "figure.mwp", "out.png"}, kExitUsage, "--select Tail: no such part"},
        {{"--png-compression", "best", "figure.mwp", "out.png"}, kExitUsage, "--png-compression best: fast or small"},
        {{"figure.mwp"}, kExitUsage, "give a project file and an output file"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run(c.args), c.status) << c.message;
        const std::string firstLine = err.str().substr(0, err.str().find('\n') + 1);
        EXPECT_NE(firstLine.find(c.message), std::string::npos) << firstLine;
        EXPECT_EQ(out.str(), "");
    }
    std::vector<std::string> left;  // not even a temporary file
    for (const auto& entry : std::filesystem::directory_iterator(dir)) left.push_back(entry.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"empty.mwp", "figure.mwp"}));

    // The largest size is still drawn; --help names every option.
    EXPECT_EQ(Run({"--size", largest + "x1", "--quiet", "figure.mwp", "wide.png"}), kExitDone) << err.str();
    EXPECT_EQ(Run({"--help"}), kExitDone);
    for (const char* option : {"--objects", "--size", "--mode", "--yaw", "--pitch", "--zoom", "--background",
                               "--wire", "--select", "--png-compression", "--quiet"}) {
        EXPECT_NE(out.str().find(option), std::string::npos) << option;
    }
}

}  // namespace
}  // namespace cli
