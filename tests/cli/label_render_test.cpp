// The labels drawn with a picture: the mask covers exactly what the picture
// shows and names each part by its type, the depth is the distance a ray
// from the camera travels to the figure, the camera's matrices are the ones
// the picture was drawn with, and both label pictures decode to their values.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <random>
#include <set>

#include "../panels/temp_dir.h"
#include "../support/recording_sink.h"
#include "cli/figure_render.h"
#include "formats/object_library.h"
#include "formats/object_reader.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "view/camera.h"

namespace cli {
namespace {

using testsupport::RecordingSink;
using Vec3 = std::array<double, 3>;

const std::string kLibrary = MW_SAMPLE_LIBRARY_DIR;

// The sample library's first file of every part, but for the panel left out.
void LoadFigure(model::Creature& creature, int without = -1) {
    for (int panel = 0; panel < model::kPartTypeCount; ++panel) {
        if (panel == without) continue;
        const std::string name(model::panelOrder[static_cast<std::size_t>(panel)]);
        const auto files = formats::ObjectFilesOf(kLibrary, name);
        ASSERT_FALSE(files.empty()) << name;
        ASSERT_TRUE(formats::SetPartFromFile(creature, name, formats::PartFolder(kLibrary, name) + "/" + files[0], panel));
    }
}

// Ten cameras from a fixed seed, on a magenta background no shading gives.
std::vector<RenderSettings> Cameras(int mode) {
    std::mt19937 random(20261210);
    std::uniform_real_distribution<float> turn(-std::numbers::pi_v<float>, std::numbers::pi_v<float>);
    std::uniform_real_distribution<float> tilt(-1.2f, 1.2f);
    std::uniform_real_distribution<float> zoom(0.7f, 2.0f);
    std::uniform_real_distribution<float> pan(-0.15f, 0.15f);
    std::vector<RenderSettings> cameras;
    for (int i = 0; i < 10; ++i) {
        RenderSettings s{160, 120, {}};
        s.view.drawMode = mode;
        s.view.yaw = turn(random);
        s.view.pitch = tilt(random);
        s.view.zoom = zoom(random);
        s.view.panX = pan(random);
        s.view.panY = pan(random);
        s.view.backgroundColor[0] = s.view.backgroundColor[2] = 1.0f;
        cameras.push_back(s);
    }
    return cameras;
}

LabelPictures Render(const model::Creature& creature, const RenderSettings& s, Picture& picture) {
    LabelPictures labels;
    std::string error;
    EXPECT_TRUE(RenderPicture(creature, s, picture, LabelRequest{true, true}, labels, error)) << error;
    return labels;
}

TEST(LabelRender, TheMaskIsThePicturesSilhouetteInEveryMode) {
    RecordingSink sink;
    model::Creature creature(sink);
    LoadFigure(creature);
    std::set<int> labelsOfParts = {0};
    for (const model::MeshObject& part : creature.parts) labelsOfParts.insert(part.typeId + 1);
    for (int mode : {view::kDrawSmooth, view::kDrawFlat, view::kDrawWireframe}) {
        for (const RenderSettings& s : Cameras(mode)) {
            Picture picture;
            const LabelPictures labels = Render(creature, s, picture);
            ASSERT_EQ(labels.mask.size(), picture.rgb.size() / 3);
            ASSERT_EQ(labels.depth.size(), labels.mask.size());
            int shown = 0;
            int wrong = 0;
            for (std::size_t i = 0; i < labels.mask.size(); ++i) {
                const unsigned char* p = &picture.rgb[3 * i];
                const bool figure = !(p[0] == 255 && p[1] == 0 && p[2] == 255);
                shown += figure;
                wrong += figure != (labels.mask[i] != 0) || figure != (labels.depth[i] != 0) ||
                         labelsOfParts.count(labels.mask[i]) == 0;
            }
            EXPECT_GT(shown, 100) << "mode " << mode << ", yaw " << s.view.yaw;
            EXPECT_EQ(wrong, 0) << "mode " << mode << ", yaw " << s.view.yaw;
        }
        // The picture drawn with labels is the picture drawn without.
        Picture with;
        Picture without;
        std::string error;
        Render(creature, Cameras(mode)[0], with);
        ASSERT_TRUE(RenderPicture(creature, Cameras(mode)[0], without, error));
        EXPECT_TRUE(with.rgb == without.rgb) << "mode " << mode;
    }
}

// Removing a part uncovers its own pixels only: they show the background
// or what was behind it, and every other pixel keeps its label.
TEST(LabelRender, EachLabelIsItsPartsTypeIdPlusOne) {
    RecordingSink sink;
    model::Creature whole(sink);
    LoadFigure(whole);
    const RenderSettings startUp{160, 120, {}};
    RenderSettings turned = startUp;  // half turned, from a little above
    turned.view.yaw = 0.7f;
    turned.view.pitch = 0.3f;
    for (const char* name : {"Head", "Left hand", "Upper body", "Right foot", "Nose"}) {
        const model::MeshObject* part = whole.PartNamed(name);
        ASSERT_NE(part, nullptr) << name;
        const int label = part->typeId + 1;
        const int panel = part->panelIndex;
        RecordingSink ownSink;
        model::Creature without(ownSink);
        LoadFigure(without);
        ASSERT_TRUE(without.SetPart(name, nullptr, panel));
        for (const RenderSettings& s : {startUp, turned}) {
            Picture picture;
            const LabelPictures before = Render(whole, s, picture);
            const LabelPictures after = Render(without, s, picture);
            int had = 0;
            int wrong = 0;
            for (std::size_t i = 0; i < before.mask.size(); ++i) {
                had += before.mask[i] == label;
                wrong += before.mask[i] == label ? after.mask[i] == label : after.mask[i] != before.mask[i];
            }
            EXPECT_GT(had, 0) << name << " is seen";
            EXPECT_EQ(wrong, 0) << name;
        }
    }
}

Vec3 Sub(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Row-major 4 × 4 matrix times a point (x, y, z, 1).
std::array<double, 4> Times(const std::array<double, 16>& m, const std::array<double, 4>& v) {
    std::array<double, 4> out{};
    for (std::size_t r = 0; r < 4; ++r) {
        for (std::size_t c = 0; c < 4; ++c) out[r] += m[4 * r + c] * v[c];
    }
    return out;
}

Vec3 ToEye(const view::Camera& camera, const float* point) {
    const auto e = Times(camera.view, {point[0], point[1], point[2], 1.0});
    return {e[0], e[1], e[2]};
}

// Möller–Trumbore: the ray's parameter at the triangle, or infinity.
double Hit(const Vec3& direction, const Vec3& a, const Vec3& b, const Vec3& c) {
    const Vec3 ab = Sub(b, a);
    const Vec3 ac = Sub(c, a);
    const Vec3 p = Cross(direction, ac);
    const double det = Dot(ab, p);
    if (std::fabs(det) < 1e-15) return INFINITY;
    const Vec3 s = Sub({0, 0, 0}, a);
    const double u = Dot(s, p) / det;
    const Vec3 q = Cross(s, ab);
    const double v = Dot(direction, q) / det;
    const double t = Dot(ac, q) / det;
    return u < 0 || v < 0 || u + v > 1 || t <= 0 ? INFINITY : t;
}

TEST(LabelRender, TheCameraProjectsAsThePictureAndTheDepthIsARaysLength) {
    RecordingSink sink;
    model::Creature creature(sink);
    LoadFigure(creature);
    double low = INFINITY;
    double high = -INFINITY;
    for (const model::MeshObject& part : creature.parts) {
        for (std::size_t i = 1; i < part.points.size(); i += 3) {
            low = std::min<double>(low, part.points[i]);
            high = std::max<double>(high, part.points[i]);
        }
    }
    const double size = high - low;  // the figure's height
    for (const RenderSettings& s : {Cameras(view::kDrawSmooth)[1], Cameras(view::kDrawSmooth)[2],
                                    Cameras(view::kDrawFlat)[3]}) {
        const view::Camera camera = view::CameraOf(s.view, s.width, s.height);
        for (const Vec3& point : {Vec3{0, 0, 0}, Vec3{0.1, -0.3, 0.05}, Vec3{-0.2, 0.25, -0.1}}) {
            const auto clip = Times(camera.projection, Times(camera.view, {point[0], point[1], point[2], 1.0}));
            std::array<double, 2> pixel;
            Vec3 eye;
            ASSERT_TRUE(camera.Project(point, pixel, eye));
            EXPECT_NEAR(pixel[0], (clip[0] / clip[3] + 1) / 2 * s.width, 1e-9);
            EXPECT_NEAR(pixel[1], (1 - clip[1] / clip[3]) / 2 * s.height, 1e-9);
            // The pinhole model, with the camera looking down −z and y up.
            EXPECT_NEAR(pixel[0], camera.cx + camera.fx * eye[0] / -eye[2], 1e-9);
            EXPECT_NEAR(pixel[1], camera.cy - camera.fy * eye[1] / -eye[2], 1e-9);
        }

        Picture picture;
        const LabelPictures labels = Render(creature, s, picture);
        int checked = 0;
        for (int y = 5; y < s.height - 5; y += 7) {
            for (int x = 5; x < s.width - 5; x += 11) {
                // Inside a part, away from its edges, where the ray meets the same part.
                const auto at = [&](int u, int v) { return static_cast<std::size_t>(v * s.width + u); };
                const std::size_t i = at(x, y);
                const int label = labels.mask[i];
                bool inside = label != 0;
                for (int dy = -2; dy <= 2; ++dy) {
                    for (int dx = -2; dx <= 2; ++dx) inside = inside && labels.mask[at(x + dx, y + dy)] == label;
                }
                if (!inside) continue;
                const Vec3 direction = {(x + 0.5 - camera.cx) / camera.fx, -(y + 0.5 - camera.cy) / camera.fy, -1};
                double nearest = INFINITY;
                int hitLabel = 0;
                for (const model::MeshObject& part : creature.parts) {
                    for (const model::Polygon& q : part.polygons) {
                        const Vec3 a = ToEye(camera, &part.points[3u * q.a]);
                        const Vec3 c = ToEye(camera, &part.points[3u * q.c]);
                        const double t = std::min(Hit(direction, a, ToEye(camera, &part.points[3u * q.b]), c),
                                                  Hit(direction, a, c, ToEye(camera, &part.points[3u * q.d])));
                        if (t < nearest) {
                            nearest = t;
                            hitLabel = part.typeId + 1;
                        }
                    }
                }
                // Along the ray z falls by one a unit of t: t is the depth in eye units.
                EXPECT_EQ(hitLabel, label) << x << ", " << y;
                EXPECT_NEAR(labels.depth[i] * kDepthUnit, nearest / s.view.zoom, 0.01 * size) << x << ", " << y;
                ++checked;
            }
        }
        EXPECT_GE(checked, 5);
    }
}

// The PNG's header and its rows as stored, for a grey picture of any depth.
std::vector<unsigned char> ReadGreyPng(const std::string& path, int& bitDepth) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return {};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<unsigned char> bytes;  // left empty when libpng gives up half way
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        return {};
    }
    {
        png_init_io(png, file);
        png_read_info(png, info);
        bitDepth = png_get_color_type(png, info) == PNG_COLOR_TYPE_GRAY ? png_get_bit_depth(png, info) : 0;
        const std::size_t rowBytes = png_get_rowbytes(png, info);
        bytes.resize(rowBytes * png_get_image_height(png, info));
        for (std::size_t y = 0; y < png_get_image_height(png, info); ++y) png_read_row(png, &bytes[y * rowBytes], nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return bytes;
}

class LabelPngTest : public testlib::TempDirTest {};

TEST_F(LabelPngTest, MaskIsEightBitGreyAndDepthSixteenBitBigEndian) {
    const LabelPictures labels{3, 2, {0, 1, 22, 255, 7, 0}, {0, 1, 256, 65535, 4660, 0}};
    for (PngCompression compression : {PngCompression::Fast, PngCompression::Small}) {
        int bitDepth = 0;
        ASSERT_TRUE(WriteMaskPng(labels, "mask.png", compression));
        EXPECT_EQ(ReadGreyPng("mask.png", bitDepth), labels.mask);
        EXPECT_EQ(bitDepth, 8);
        ASSERT_TRUE(WriteDepthPng(labels, "depth.png", compression));
        EXPECT_EQ(ReadGreyPng("depth.png", bitDepth),
                  (std::vector<unsigned char>{0, 0, 0, 1, 1, 0, 255, 255, 0x12, 0x34, 0, 0}));
        EXPECT_EQ(bitDepth, 16);
    }
    // Pictures whose values do not fill their size, and a missing folder, write nothing.
    const LabelPictures shortOnes{3, 2, {0, 1}, {0}};
    EXPECT_FALSE(WriteMaskPng(shortOnes, "short.png"));
    EXPECT_FALSE(WriteDepthPng(shortOnes, "short.png"));
    EXPECT_FALSE(WriteMaskPng(labels, "no folder/mask.png"));
    EXPECT_FALSE(WriteDepthPng(labels, "no folder/depth.png"));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++files;
    EXPECT_EQ(files, 2u);
}

}  // namespace
}  // namespace cli
