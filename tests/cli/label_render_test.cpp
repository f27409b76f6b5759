// The labels drawn with a picture of the sample figure: the mask covers what
// the picture shows and names each part by its type, the camera projects as
// its matrices do, the depth is a ray's length, and the PNGs keep the values.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <numbers>
#include <random>

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

using Vec3 = std::array<double, 3>;

void LoadFigure(model::Creature& creature) {
    const std::string library = MW_SAMPLE_LIBRARY_DIR;
    for (int panel = 0; panel < model::kPartTypeCount; ++panel) {
        const std::string name(model::panelOrder[static_cast<std::size_t>(panel)]);
        const std::string file = formats::PartFolder(library, name) + "/" + formats::ObjectFilesOf(library, name).at(0);
        ASSERT_TRUE(formats::SetPartFromFile(creature, name, file, panel)) << name;
    }
}

// Ten cameras from a fixed seed, on a magenta background no shading gives.
std::vector<RenderSettings> Cameras(int mode) {
    std::mt19937 random(20261210);
    const auto in = [&](float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); };
    std::vector<RenderSettings> cameras(10, RenderSettings{160, 120, {}});
    for (RenderSettings& s : cameras) {
        s.view = {in(-std::numbers::pi_v<float>, std::numbers::pi_v<float>), in(-1.2f, 1.2f), in(-0.15f, 0.15f),
                  in(-0.15f, 0.15f), in(0.7f, 2.0f), 0.5f, mode, {1, 0, 1}};
    }
    return cameras;
}

LabelPictures Labels(const model::Creature& creature, const RenderSettings& s, Picture& picture) {
    LabelPictures labels;
    std::string error;
    EXPECT_TRUE(RenderPicture(creature, s, picture, LabelRequest{true, true}, labels, error)) << error;
    return labels;
}

TEST(LabelRender, TheMaskAndDepthCoverExactlyThePicturesFigureInEveryMode) {
    testsupport::RecordingSink sink;
    model::Creature creature(sink);
    LoadFigure(creature);
    for (int mode : {view::kDrawSmooth, view::kDrawFlat, view::kDrawWireframe}) {
        for (const RenderSettings& s : Cameras(mode)) {
            Picture picture;
            Picture alone;
            std::string error;
            const LabelPictures labels = Labels(creature, s, picture);
            ASSERT_TRUE(RenderPicture(creature, s, alone, error) && alone.rgb == picture.rgb) << "unchanged";
            int shown = 0;
            int wrong = 0;
            for (std::size_t i = 0; i < labels.mask.size(); ++i) {
                const bool figure = picture.rgb[3 * i] != 255 || picture.rgb[3 * i + 1] != 0 || picture.rgb[3 * i + 2] != 255;
                shown += figure;
                wrong += figure != (labels.mask[i] != 0) || figure != (labels.depth[i] != 0) || labels.mask[i] > 22;
            }
            EXPECT_GT(shown, 100) << "mode " << mode << ", yaw " << s.view.yaw;
            EXPECT_EQ(wrong, 0) << "mode " << mode << ", yaw " << s.view.yaw;
        }
    }
}

// Without a part, only that part's pixels change: to the background or to
// what was behind it.
TEST(LabelRender, EachLabelIsItsPartsTypeIdPlusOne) {
    testsupport::RecordingSink sink;
    model::Creature whole(sink);
    LoadFigure(whole);
    RenderSettings turned{160, 120, {}};
    turned.view.yaw = 0.7f;
    turned.view.pitch = 0.3f;
    for (const char* name : {"Head", "Left hand", "Upper body", "Right foot", "Nose"}) {
        const int label = whole.PartNamed(name)->typeId + 1;
        model::Creature without(sink);
        LoadFigure(without);
        ASSERT_TRUE(without.SetPart(name, nullptr, 0));
        for (const RenderSettings& s : {RenderSettings{160, 120, {}}, turned}) {
            Picture picture;
            const LabelPictures before = Labels(whole, s, picture);
            const LabelPictures after = Labels(without, s, picture);
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

std::array<double, 4> Times(const std::array<double, 16>& m, const std::array<double, 4>& v) {
    std::array<double, 4> out{};
    for (std::size_t r = 0; r < 16; ++r) out[r / 4] += m[r] * v[r % 4];
    return out;
}

// Möller–Trumbore from the eye: the ray's parameter at the triangle, or infinity.
double Hit(const Vec3& d, const Vec3& a, const Vec3& b, const Vec3& c) {
    const auto sub = [](const Vec3& x, const Vec3& y) { return Vec3{x[0] - y[0], x[1] - y[1], x[2] - y[2]}; };
    const auto cross = [](const Vec3& x, const Vec3& y) {
        return Vec3{x[1] * y[2] - x[2] * y[1], x[2] * y[0] - x[0] * y[2], x[0] * y[1] - x[1] * y[0]};
    };
    const auto dot = [](const Vec3& x, const Vec3& y) { return x[0] * y[0] + x[1] * y[1] + x[2] * y[2]; };
    const Vec3 ab = sub(b, a), ac = sub(c, a), p = cross(d, ac), s = sub({0, 0, 0}, a), q = cross(s, ab);
    const double det = dot(ab, p), u = dot(s, p) / det, v = dot(d, q) / det, t = dot(ac, q) / det;
    return det == 0 || u < 0 || v < 0 || u + v > 1 || t <= 0 ? INFINITY : t;
}

TEST(LabelRender, TheCameraProjectsAsThePictureAndTheDepthIsARaysLength) {
    testsupport::RecordingSink sink;
    model::Creature creature(sink);
    LoadFigure(creature);
    const double figureHeight = 0.33;  // the sample figure's, in model units
    for (const RenderSettings& s : {Cameras(0)[1], Cameras(0)[2], Cameras(1)[3]}) {
        const view::Camera camera = view::CameraOf(s.view, s.width, s.height);
        for (const Vec3& point : {Vec3{0, 0, 0}, Vec3{0.1, -0.3, 0.05}, Vec3{-0.2, 0.25, -0.1}}) {
            const auto clip = Times(camera.projection, Times(camera.view, {point[0], point[1], point[2], 1}));
            std::array<double, 2> pixel;
            Vec3 eye;
            ASSERT_TRUE(camera.Project(point, pixel, eye));
            EXPECT_NEAR(pixel[0], (clip[0] / clip[3] + 1) / 2 * s.width, 1e-9);
            EXPECT_NEAR(pixel[1], (1 - clip[1] / clip[3]) / 2 * s.height, 1e-9);
            EXPECT_NEAR(pixel[0], camera.cx + camera.fx * eye[0] / -eye[2], 1e-9);  // the pinhole, looking down −z
            EXPECT_NEAR(pixel[1], camera.cy - camera.fy * eye[1] / -eye[2], 1e-9);
        }
        Picture picture;
        const LabelPictures labels = Labels(creature, s, picture);
        const auto at = [&](int x, int y) { return labels.mask[static_cast<std::size_t>(y * s.width + x)]; };
        int checked = 0;
        for (int y = 5; y < s.height - 5; y += 6) {
            for (int x = 5; x < s.width - 5; x += 7) {
                bool inside = at(x, y) != 0;  // and two pixels from any other label
                for (int k = 0; k < 25; ++k) inside = inside && at(x + k % 5 - 2, y + k / 5 - 2) == at(x, y);
                if (!inside) continue;
                // Along this ray z falls by one a unit of t: t is the depth in eye units.
                const Vec3 ray{(x + 0.5 - camera.cx) / camera.fx, -(y + 0.5 - camera.cy) / camera.fy, -1};
                double nearest = INFINITY;
                int hitLabel = 0;
                for (const model::MeshObject& part : creature.parts) {
                    const auto corner = [&](std::uint16_t i) {
                        const auto e = Times(camera.view, {part.points[3u * i], part.points[3u * i + 1], part.points[3u * i + 2], 1});
                        return Vec3{e[0], e[1], e[2]};
                    };
                    for (const model::Polygon& q : part.polygons) {
                        const double t = std::min(Hit(ray, corner(q.a), corner(q.b), corner(q.c)),
                                                  Hit(ray, corner(q.a), corner(q.c), corner(q.d)));
                        if (t < nearest) {
                            nearest = t;
                            hitLabel = part.typeId + 1;
                        }
                    }
                }
                const std::size_t i = static_cast<std::size_t>(y * s.width + x);
                EXPECT_EQ(hitLabel, labels.mask[i]) << x << ", " << y;
                EXPECT_NEAR(labels.depth[i] * kDepthUnit, nearest / s.view.zoom, 0.01 * figureHeight) << x << ", " << y;
                ++checked;
            }
        }
        EXPECT_GE(checked, 5);
    }
}

// The grey PNG's rows as stored, and its bit depth; empty when unreadable.
std::vector<unsigned char> ReadGreyPng(const std::string& path, int& bitDepth) {
    std::vector<unsigned char> rows;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (file != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_read_info(png, info);
        bitDepth = png_get_color_type(png, info) == PNG_COLOR_TYPE_GRAY ? png_get_bit_depth(png, info) : 0;
        rows.resize(png_get_rowbytes(png, info) * png_get_image_height(png, info));
        for (std::size_t y = 0; y < png_get_image_height(png, info); ++y) {
            png_read_row(png, &rows[y * png_get_rowbytes(png, info)], nullptr);
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (file != nullptr) std::fclose(file);
    return rows;
}

class LabelPngTest : public testlib::TempDirTest {};

TEST_F(LabelPngTest, MaskIsEightBitGreyAndDepthSixteenBitBigEndian) {
    const LabelPictures labels{3, 2, {0, 1, 22, 255, 7, 0}, {0, 1, 256, 65535, 0x1234, 0}};
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
    // Values that do not fill the size, or a missing folder: nothing written.
    const LabelPictures tooFew{3, 2, {0, 1}, {0}};
    EXPECT_FALSE(WriteMaskPng(tooFew, "few.png") || WriteDepthPng(tooFew, "few.png"));
    EXPECT_FALSE(WriteMaskPng(labels, "none/m.png") || WriteDepthPng(labels, "none/d.png"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2);
}

}  // namespace
}  // namespace cli
