// The sample figure (the first object file of every part's folder) exported
// as sample.3ds, .dxf, .glb, .obj (with sample.mtl) and .stl into
// MW_SAMPLE_EXPORTS, with sample.counts saying what a reader should find;
// lib3ds reads the .3ds back here, and CTest then hands the files to assimp,
// ezdxf and the glTF validator.
#include <gtest/gtest.h>

#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "formats/export_3ds.h"
#include "formats/export_dxf.h"
#include "formats/export_glb.h"
#include "formats/export_modern_figure.h"
#include "formats/export_obj.h"
#include "formats/export_stl.h"
#include "formats/merged_figure.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "../../support/recording_sink.h"

namespace fs = std::filesystem;

namespace {

void BuildSampleFigure(model::Creature& creature) {
    for (int panel = 0; panel < model::kPartTypeCount; ++panel) {
        const std::string name(model::panelOrder[static_cast<std::size_t>(panel)]);
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(fs::path(MW_SAMPLE_LIBRARY_DIR) / name)) {
            if (entry.path().extension() == ".mwo") files.push_back(entry.path());
        }
        ASSERT_FALSE(files.empty()) << name;
        ASSERT_TRUE(creature.SetPart(name, std::min_element(files.begin(), files.end())->c_str(), panel));
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
    ASSERT_TRUE(formats::ExportGlb(creature, (out / "sample.glb").string(), sink));
    ASSERT_TRUE(formats::ExportObj(creature, (out / "sample.obj").string(), sink));
    ASSERT_TRUE(formats::ExportStl(creature, (out / "sample.stl").string(), sink));
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
           << "\nmaterials " << figure.materials.size() << "\n";
    for (const formats::NamedMaterial& material : figure.materials) {
        counts << "material " << material.name;
        for (float c : material.record->colour) counts << ' ' << c;
        counts << '\n';
    }
    // Surfaces of one name from several parts make one material each.
    EXPECT_LT(figure.materials.size(), figure.merged.surfaces.size());
}
