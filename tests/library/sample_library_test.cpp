#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "mesh_checks.h"
#include "model/connection_tables.h"
#include "model/part_types.h"
#include "sample_library.h"

using librarytest::PartFiles;
using librarytest::ReadPart;

namespace {

bool IsFacePart(const std::string& name) {
    return name == "Left eye" || name == "Right eye" || name == "Nose" || name == "Mouth" || name == "Left ear" ||
           name == "Right ear";
}

std::vector<char> FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(SampleLibrary, EveryPartHasSeveralSoundVariants) {
    for (std::string_view typeName : model::panelOrder) {
        const std::string name(typeName);
        SCOPED_TRACE(name);
        const std::vector<std::string> files = PartFiles(name);
        EXPECT_GE(files.size(), 3u);
        for (const std::string& path : files) {
            SCOPED_TRACE(path);
            auto part = ReadPart(path);
            ASSERT_NE(part, nullptr);
            EXPECT_TRUE(part->CheckPoints());
            EXPECT_GE(part->polygonCount, IsFacePart(name) ? 40 : 120);
            EXPECT_LE(part->polygonCount, 4000);
            ASSERT_EQ(part->normals.size(), part->points.size());
            for (std::size_t i = 0; i < part->normals.size(); i += 3) {
                const double len = std::hypot(part->normals[i], part->normals[i + 1], part->normals[i + 2]);
                ASSERT_NEAR(len, 1.0, 1e-4) << "normal of point " << i / 3;
            }
            for (int s = 0; s < part->surfaceCount; ++s) EXPECT_FALSE(part->surfaces[s].name.empty());
        }
    }
}

TEST(SampleLibrary, PartsAreOpenOnlyAtTheirSeamsAndFaceOutwards) {
    for (std::string_view typeName : model::panelOrder) {
        for (const std::string& path : PartFiles(std::string(typeName))) {
            SCOPED_TRACE(path);
            auto part = ReadPart(path);
            ASSERT_NE(part, nullptr);
            // Every quad turned the same way as its neighbours...
            EXPECT_EQ(librarytest::RepeatedDirectedEdges(*part), 0);
            // ...no cracks: the open rim is exactly the seams...
            EXPECT_EQ(librarytest::OpenPoints(*part), librarytest::SeamPoints(*part));
            // ...and the quads face outwards.
            EXPECT_GT(librarytest::ClosedVolume(*part), 0.0);
        }
    }
}

TEST(SampleLibrary, SeamsHaveOneEntryCountAcrossAllVariantsOfBothParts) {
    std::map<int, std::vector<std::unique_ptr<model::MeshObject>>> variants;
    for (int type = 0; type < model::kPartTypeCount; ++type) {
        for (const std::string& path : PartFiles(std::string(model::partTypeNames[type]))) {
            variants[type].push_back(ReadPart(path));
            ASSERT_NE(variants[type].back(), nullptr) << path;
        }
    }
    for (const model::ConnectionRow& row : model::ConnectionTable) {
        for (int k = 0; k < model::kBoundaryListCount; ++k) {
            for (const auto& part : variants[row.typeId]) {
                if (k >= row.seamCount) {
                    EXPECT_EQ(part->BoundaryCount(k), 0) << part->objectName << " list " << k;
                    continue;
                }
                const model::SeamEntry& seam = row.seams[k];
                EXPECT_GT(part->BoundaryCount(k), 0) << part->objectName << " list " << k;
                for (const auto& other : variants[seam.neighbourType]) {
                    EXPECT_EQ(part->BoundaryCount(k), other->BoundaryCount(seam.neighbourList))
                        << part->objectName << " list " << k << " against " << other->objectName;
                }
            }
        }
    }
}

TEST(SampleLibrary, BothHalvesOfTheFigureAreMirrorImagesBitForBit) {
    // A point (side 1) or its image (side -1), -0 taken as 0: a point on the
    // mirror plane is its own image.
    using Point = std::array<float, 3>;
    auto point = [](const model::MeshObject& part, int i, float side) {
        const float* p = &part.points[3 * static_cast<std::size_t>(i)];
        return Point{side * p[0] + 0.0f, p[1], p[2]};
    };
    // Parts across the plane hold the image of every point; the neck, whose
    // rings turn between two blocks' walks, of every seam point.
    for (const char* name : {"Head", "Nose", "Mouth", "Neck", "Upper body", "Stomach"}) {
        for (const std::string& path : PartFiles(name)) {
            SCOPED_TRACE(path);
            auto part = ReadPart(path);
            ASSERT_NE(part, nullptr);
            std::vector<int> ids;
            if (std::string(name) == "Neck") {
                for (int k : {0, 1}) {
                    ids.insert(ids.end(), part->BoundaryList(k), part->BoundaryList(k) + part->BoundaryCount(k));
                }
            } else {
                for (int i = 0; i < part->pointCount; ++i) ids.push_back(i);
            }
            std::set<Point> points;
            for (int i : ids) points.insert(point(*part, i, 1));
            int without = 0;
            for (int i : ids) without += points.count(point(*part, i, -1)) == 0;
            EXPECT_EQ(without, 0) << "points without their mirror image";
        }
    }
    // A right-hand part is its left-hand namesake mirrored, point by point.
    for (const char* side : {"ear", "eye", "arm", "forearm", "hand", "thigh", "leg", "foot"}) {
        const std::vector<std::string> lefts = PartFiles(std::string("Left ") + side);
        const std::vector<std::string> rights = PartFiles(std::string("Right ") + side);
        ASSERT_EQ(lefts.size(), rights.size()) << side;
        for (std::size_t v = 0; v < lefts.size(); ++v) {
            SCOPED_TRACE(rights[v]);
            auto left = ReadPart(lefts[v]);
            auto right = ReadPart(rights[v]);
            ASSERT_TRUE(left && right);
            ASSERT_EQ(left->pointCount, right->pointCount);
            int unlike = 0;
            for (int i = 0; i < left->pointCount; ++i) unlike += point(*left, i, -1) != point(*right, i, 1);
            EXPECT_EQ(unlike, 0);
        }
    }
}

TEST(SampleLibrary, PartsShareNamedColouredSurfaces) {
    std::map<std::string, std::set<std::string>> partsBySurface;
    for (std::string_view typeName : model::panelOrder) {
        for (const std::string& path : PartFiles(std::string(typeName))) {
            auto part = ReadPart(path);
            ASSERT_NE(part, nullptr);
            for (int s = 0; s < part->surfaceCount; ++s) {
                partsBySurface[part->surfaces[s].name].insert(std::string(typeName));
                const auto& c = part->surfaces[s].colour;
                EXPECT_FALSE(c[0] == 0.5f && c[1] == 0.5f && c[2] == 0.5f) << path << " " << part->surfaces[s].name;
            }
        }
    }
    EXPECT_GE(partsBySurface["Skin"].size(), 12u);
    for (const char* name : {"Hair", "Lips", "Iris", "Eye white", "Nails"}) EXPECT_TRUE(partsBySurface.count(name)) << name;
}

TEST(SampleLibrary, GeneratorWritesTheSameBytesEveryTime) {
    const auto dir = std::filesystem::temp_directory_path() / "mw_sample_library_again";
    std::filesystem::remove_all(dir);
    std::string error;
    ASSERT_TRUE(library::WriteSampleLibrary(dir.string(), &error)) << error;
    std::set<std::string> built, again;
    for (const auto& item : std::filesystem::recursive_directory_iterator(librarytest::LibraryDir())) {
        if (item.is_regular_file()) built.insert(std::filesystem::relative(item.path(), librarytest::LibraryDir()).string());
    }
    for (const auto& item : std::filesystem::recursive_directory_iterator(dir)) {
        if (item.is_regular_file()) again.insert(std::filesystem::relative(item.path(), dir).string());
    }
    EXPECT_EQ(built, again);
    for (const std::string& file : again) {
        EXPECT_EQ(FileBytes(std::filesystem::path(librarytest::LibraryDir()) / file), FileBytes(dir / file)) << file;
    }
    std::filesystem::remove_all(dir);
}
