// The sample figure (the first object file of every part's folder, but a
// brown right eye beside the blue left one) exported
// as sample.3ds, .dxf, .glb, .obj (with sample.mtl) and .stl into
// MW_SAMPLE_EXPORTS, with sample.counts saying what a reader should find,
// and posed as sample-tpose and sample-sit (.glb and .obj); lib3ds reads the
// .3ds back here, and CTest then hands the files to assimp, ezdxf, the glTF
// validator and a skinning check of its own.
#include <gtest/gtest.h>

#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>

#include <tiny_gltf.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <tuple>

#include "export_fixture.h"

#include "formats/export_3ds.h"
#include "formats/export_dxf.h"
#include "formats/export_glb.h"
#include "formats/export_modern_figure.h"
#include "formats/export_obj.h"
#include "formats/export_stl.h"
#include "formats/library_settings.h"
#include "formats/merged_figure.h"
#include "formats/object_reader.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "model/pose.h"
#include "model/skeleton.h"
#include "../../support/recording_sink.h"
#include "../../support/stl_corners.h"

namespace fs = std::filesystem;

namespace {

formats::ExportSettings LibraryUnit() {
    formats::LibrarySettings library;
    std::string problem;
    EXPECT_TRUE(formats::ReadLibrarySettings(MW_SAMPLE_LIBRARY_DIR, library, problem)) << problem;
    formats::ExportSettings settings;
    settings.metresPerUnit = library.metresPerUnit;
    return settings;
}

void BuildSampleFigure(model::Creature& creature) {
    for (int panel = 0; panel < model::kPartTypeCount; ++panel) {
        const std::string name(model::panelOrder[static_cast<std::size_t>(panel)]);
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(fs::path(MW_SAMPLE_LIBRARY_DIR) / name)) {
            if (entry.path().extension() == ".mwo") files.push_back(entry.path());
        }
        ASSERT_FALSE(files.empty()) << name;
        std::sort(files.begin(), files.end());
        fs::path file = files[0];
        for (const fs::path& f : files) {
            if (name == "Right eye" && f.filename().string().rfind("Brown", 0) == 0) file = f;
        }
        ASSERT_TRUE(formats::SetPartFromFile(creature, name, file, panel));
    }
}

}  // namespace

TEST(SampleFigureExports, Lib3dsReadsTheVerticesTrianglesAndMaterialsWritten) {
    testsupport::RecordingSink sink;
    model::Creature creature(sink);
    ASSERT_NO_FATAL_FAILURE(BuildSampleFigure(creature));
    const fs::path out(MW_SAMPLE_EXPORTS);
    fs::create_directories(out);
    ASSERT_TRUE(formats::Export3ds(creature, (out / "sample.3ds").string(), sink));
    ASSERT_TRUE(formats::ExportDxf(creature, (out / "sample.dxf").string(), sink));
    formats::MergedFigure figure;
    figure.Prepare(creature);
    figure.ListVertices();
    std::ofstream(out / "sample.counts") << "vertices " << figure.vertices.size() << "\nquads " << figure.faces.size()
                                         << "\nmaterials " << figure.surfaces.size() << "\n";
    // Seams were merged: fewer vertices than points.
    EXPECT_LT(figure.vertices.size(), figure.PointCount());

    Lib3dsFile* file = lib3ds_file_load((out / "sample.3ds").c_str());
    ASSERT_NE(file, nullptr);
    std::set<std::string> materialNames;
    std::size_t materials = 0;
    for (Lib3dsMaterial* m = file->materials; m != nullptr; m = m->next, ++materials) materialNames.insert(m->name);
    EXPECT_EQ(materials, figure.surfaces.size());
    ASSERT_NE(file->meshes, nullptr);
    const Lib3dsMesh& mesh = *file->meshes;
    EXPECT_EQ(mesh.next, nullptr);
    EXPECT_STREQ(mesh.name, "NECK      ");
    EXPECT_EQ(mesh.points, figure.vertices.size());
    EXPECT_EQ(mesh.faces, 2 * figure.faces.size());
    std::size_t outside = 0;
    std::size_t withoutMaterial = 0;
    std::size_t otherFlags = 0;
    for (Lib3dsDword f = 0; f < mesh.faces; ++f) {
        const Lib3dsFace& face = mesh.faceL[f];
        for (Lib3dsWord p : face.points) outside += p >= mesh.points;
        withoutMaterial += materialNames.count(face.material) == 0;
        otherFlags += face.flags != 6;
    }
    EXPECT_EQ(outside, 0u);
    EXPECT_EQ(withoutMaterial, 0u);
    EXPECT_EQ(otherFlags, 0u);
    lib3ds_file_free(file);
}

// The readers' checks compare with the counts and colours written here.
TEST(SampleFigureExports, ModernFormatsAreWrittenWithTheirCounts) {
    testsupport::RecordingSink sink;
    model::Creature creature(sink);
    ASSERT_NO_FATAL_FAILURE(BuildSampleFigure(creature));
    const fs::path out(MW_SAMPLE_EXPORTS);
    fs::create_directories(out);
    const formats::ExportSettings settings = LibraryUnit();
    ASSERT_TRUE(formats::ExportGlb(creature, (out / "sample.glb").string(), sink, settings));
    ASSERT_TRUE(formats::ExportObj(creature, (out / "sample.obj").string(), sink, settings));
    ASSERT_TRUE(formats::ExportStl(creature, (out / "sample.stl").string(), sink, settings));
    formats::ModernFigure figure;
    ASSERT_TRUE(figure.Prepare(creature, sink, {}, formats::FileFrame::kMetresYUp));
    std::size_t triangles = 0;
    std::size_t faces = 0;  // the .obj's face lines: quads, and triangles of quads that lost one
    std::array<std::array<std::uint32_t, 3>, 2> corners;
    for (const formats::NamedMaterial& material : figure.materials) {
        for (std::uint32_t f : material.faces) triangles += static_cast<std::size_t>(figure.Triangles(f, corners));
        faces += material.faces.size();
    }
    // One line a material: its name, then its colour as the view shows it.
    std::ofstream counts(out / "sample-modern.counts");
    counts << "vertices " << figure.merged.vertices.size() << "\ntriangles " << triangles << "\nquads " << faces
           << "\nmaterials " << figure.materials.size() << "\njoints " << model::BuildSkeleton(creature).joints.size()
           << "\n";
    for (const formats::NamedMaterial& material : figure.materials) {
        counts << "material " << material.name;
        for (float c : material.record->colour) counts << ' ' << c;
        counts << '\n';
    }
    // Surfaces of one name and colour from several parts make one material;
    // the brown iris is a material of its own beside the blue one.
    EXPECT_LT(figure.materials.size(), figure.merged.surfaces.size());
    std::map<std::string, std::array<float, 3>> irises;
    for (const formats::NamedMaterial& material : figure.materials) {
        if (material.record->name == "Iris") irises[material.name] = material.record->colour;
    }
    ASSERT_EQ(irises.size(), 2u);
    EXPECT_EQ(irises.count("Right eye Iris"), 1u);
    EXPECT_LT(irises["Iris"][0], irises["Iris"][2]);                      // blue
    EXPECT_GT(irises["Right eye Iris"][0], irises["Right eye Iris"][2]);  // brown
}

// The .glb carries the rest mesh with the pose on its joints, the .obj the
// figure posed in the model: skinning the one must give the other.
TEST(SampleFigureExports, PosedFiguresAreWrittenRiggedAndPosedInTheModel) {
    testsupport::RecordingSink sink;
    model::Creature creature(sink);
    ASSERT_NO_FATAL_FAILURE(BuildSampleFigure(creature));
    const fs::path out(MW_SAMPLE_EXPORTS);
    fs::create_directories(out);
    const model::Skeleton skeleton = model::BuildSkeleton(creature);
    for (const auto& [poseName, stem] : {std::pair{"t-pose", "sample-tpose"}, {"sit", "sample-sit"}}) {
        model::Pose pose;
        ASSERT_TRUE(model::BuiltInPose(poseName, skeleton, pose)) << poseName;
        formats::ExportSettings settings = LibraryUnit();
        settings.pose = &pose;
        ASSERT_TRUE(formats::ExportGlb(creature, (out / stem).string() + ".glb", sink, settings));
        settings.pose = nullptr;
        const std::unique_ptr<model::Creature> posed = model::PosedCopy(creature, pose);
        ASSERT_TRUE(formats::ExportObj(*posed, (out / stem).string() + ".obj", sink, settings));
    }
}

namespace {

struct Box {
    std::array<double, 3> low{1e30, 1e30, 1e30};
    std::array<double, 3> high{-1e30, -1e30, -1e30};
    void Add(const float* p) {
        for (std::size_t k = 0; k < 3; ++k) {
            low[k] = std::min(low[k], static_cast<double>(p[k]));
            high[k] = std::max(high[k], static_cast<double>(p[k]));
        }
    }
    double Size(std::size_t k) const { return high[k] - low[k]; }
};

// The positions of a .glb's primitive, read with tinygltf's loader.
std::vector<float> GlbPositions(const tinygltf::Model& model, const tinygltf::Primitive& primitive) {
    const tinygltf::Accessor& a = model.accessors[static_cast<std::size_t>(primitive.attributes.at("POSITION"))];
    const tinygltf::BufferView& view = model.bufferViews[static_cast<std::size_t>(a.bufferView)];
    std::vector<float> xyz(3 * a.count);
    std::memcpy(xyz.data(), model.buffers[0].data.data() + view.byteOffset + a.byteOffset, 12 * a.count);
    return xyz;
}

// The mean z of the vertices a material's triangles use.
double MeanZ(const tinygltf::Model& model, const std::string& material) {
    for (const tinygltf::Primitive& primitive : model.meshes[0].primitives) {
        if (model.materials[static_cast<std::size_t>(primitive.material)].name != material) continue;
        const tinygltf::Accessor& a = model.accessors[static_cast<std::size_t>(primitive.indices)];
        const tinygltf::BufferView& view = model.bufferViews[static_cast<std::size_t>(a.bufferView)];
        const unsigned char* at = model.buffers[0].data.data() + view.byteOffset + a.byteOffset;
        const std::vector<float> xyz = GlbPositions(model, primitive);
        double sum = 0;
        for (std::size_t i = 0; i < a.count; ++i) {
            std::uint32_t index = 0;
            if (a.componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT) {
                index = static_cast<std::uint32_t>(at[2 * i] | at[2 * i + 1] << 8);
            } else {
                std::memcpy(&index, at + 4 * i, 4);
            }
            sum += xyz[3 * index + 2];
        }
        return sum / static_cast<double>(a.count);
    }
    ADD_FAILURE() << "no material " << material;
    return 0;
}

}  // namespace

// glTF: metres, +Y up, facing +Z (the face in front of the back of the
// head), feet on y = 0, centred in x and z. STL: the same figure in
// millimetres, +Z up, facing -Y, read by a reader of the test's own.
TEST(SampleFigureExports, ModernFormatsStandTheFigureWhereTheirReadersExpectIt) {
    testsupport::RecordingSink sink;
    model::Creature creature(sink);
    ASSERT_NO_FATAL_FAILURE(BuildSampleFigure(creature));
    const fs::path out = fs::path(MW_SAMPLE_EXPORTS) / "placed";
    fs::create_directories(out);
    ASSERT_TRUE(formats::ExportGlb(creature, (out / "figure.glb").string(), sink, LibraryUnit()));
    ASSERT_TRUE(formats::ExportStl(creature, (out / "figure.stl").string(), sink, LibraryUnit()));

    tinygltf::Model model;
    std::string error, warning;
    ASSERT_TRUE(tinygltf::TinyGLTF().LoadBinaryFromFile(&model, &error, &warning, (out / "figure.glb").string())) << error;
    Box glb;
    const std::vector<float> xyz = GlbPositions(model, model.meshes[0].primitives[0]);
    for (std::size_t i = 0; i < xyz.size(); i += 3) glb.Add(&xyz[i]);
    EXPECT_NEAR(glb.low[1], 0, 1e-6);
    EXPECT_NEAR(glb.Size(1), 1.75, 0.25);
    EXPECT_NEAR(glb.low[0] + glb.high[0], 0, 1e-6);
    EXPECT_NEAR(glb.low[2] + glb.high[2], 0, 1e-6);
    EXPECT_GT(MeanZ(model, "Lips"), MeanZ(model, "Hair"));
    EXPECT_GT(MeanZ(model, "Pupil"), 0);

    const std::vector<float> corners = testsupport::StlCorners(exporttest::FileText(out / "figure.stl"));
    ASSERT_FALSE(corners.empty());
    Box stl;
    for (std::size_t c = 0; c < corners.size(); c += 3) stl.Add(&corners[c]);
    EXPECT_EQ(stl.low[2], 0);
    // x as in the glTF, y its -z, z its y, all a thousand times larger.
    for (const auto& [stlAxis, glbAxis, sign] : {std::tuple{0, 0, 1}, {1, 2, -1}, {2, 1, 1}}) {
        const double low = sign > 0 ? glb.low[glbAxis] : -glb.high[glbAxis];
        EXPECT_NEAR(stl.low[stlAxis], 1000 * low, 1e-3) << "axis " << stlAxis;
        EXPECT_NEAR(stl.Size(stlAxis), 1000 * glb.Size(glbAxis), 1e-3) << "axis " << stlAxis;
    }
}
