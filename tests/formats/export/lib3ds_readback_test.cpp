// The sample figure's .3ds read back by lib3ds: one mesh with the vertices
// and triangles the export counted, every triangle on a material the file
// defines, every corner inside the point list.
#include <gtest/gtest.h>

#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>

#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <string>

namespace {

std::map<std::string, std::size_t> Counts() {
    std::map<std::string, std::size_t> counts;
    std::ifstream in(std::string(MW_SAMPLE_EXPORTS) + "/sample.counts");
    std::string key;
    std::size_t value = 0;
    while (in >> key >> value) counts[key] = value;
    return counts;
}

}  // namespace

TEST(Lib3dsReadsTheSampleFigure, SameVerticesTrianglesAndMaterials) {
    const auto counts = Counts();
    ASSERT_EQ(counts.size(), 3u) << "sample.counts missing";
    Lib3dsFile* file = lib3ds_file_load((std::string(MW_SAMPLE_EXPORTS) + "/sample.3ds").c_str());
    ASSERT_NE(file, nullptr);

    std::set<std::string> materialNames;
    std::size_t materials = 0;
    for (Lib3dsMaterial* m = file->materials; m != nullptr; m = m->next, ++materials) materialNames.insert(m->name);
    EXPECT_EQ(materials, counts.at("materials"));

    ASSERT_NE(file->meshes, nullptr);
    const Lib3dsMesh& mesh = *file->meshes;
    EXPECT_EQ(mesh.next, nullptr);
    EXPECT_STREQ(mesh.name, "NECK      ");
    EXPECT_EQ(mesh.points, counts.at("vertices"));
    EXPECT_EQ(mesh.faces, 2 * counts.at("quads"));
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
