// The random figures of the sample library, seeds 0 to 199 without build
// factors, made as mwbatch random makes them: each exports as a closed
// surface, stands whole in the start-up view, and the library's unit makes
// the median figure a person's height.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <vector>

#include <unistd.h>

#include "../support/recording_sink.h"
#include "cli/figure_render.h"
#include "cli/random_recipe.h"
#include "formats/atomic_file.h"
#include "formats/export_stl.h"
#include "formats/library_settings.h"
#include "model/creature.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

const std::string kLibrary = MW_SAMPLE_LIBRARY_DIR;
constexpr std::uint32_t kSeeds = 200;

// Builds the figure of every seed in turn and hands it to `check`, which
// returns false to stop at the first bad one.
template <typename Check>
void ForEachFigure(Check check) {
    const ObjectLists lists = ReadObjectLists(kLibrary);
    for (std::uint32_t seed = 0; seed < kSeeds; ++seed) {
        testsupport::RecordingSink sink;
        model::Creature creature(sink);
        ASSERT_EQ(BuildFigure(DrawRecipe(seed, lists, false, 0), lists, kLibrary, creature), model::kPartTypeCount);
        if (!check(seed, creature)) return;
    }
}

// A binary STL file's triangles, read byte by byte: corners as float bit
// patterns, -0 taken as +0 so that equal positions have equal keys.
using Corner = std::array<std::uint32_t, 3>;
using Triangle = std::array<Corner, 3>;

std::vector<Triangle> ReadStl(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes(fs::file_size(path));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    auto word = [&](std::size_t at) {
        return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 | std::uint32_t{bytes[at + 2]} << 16 |
               std::uint32_t{bytes[at + 3]} << 24;
    };
    if (bytes.size() < 84 || bytes.size() != 84 + 50 * std::size_t{word(80)}) return {};
    std::vector<Triangle> triangles(word(80));
    for (std::size_t t = 0; t < triangles.size(); ++t) {
        for (std::size_t c = 0; c < 3; ++c) {
            for (std::size_t axis = 0; axis < 3; ++axis) {
                const float value = std::bit_cast<float>(word(84 + 50 * t + 12 * (c + 1) + 4 * axis)) + 0.0f;
                triangles[t][c][axis] = std::bit_cast<std::uint32_t>(value);
            }
        }
    }
    return triangles;
}

struct Faults {
    int openEdges = 0;         // used by one triangle
    int nonManifoldEdges = 0;  // used by more than two
    int zeroAreaTriangles = 0;
    bool operator==(const Faults&) const = default;
};

void PrintTo(const Faults& f, std::ostream* out) {
    *out << f.openEdges << " open edges, " << f.nonManifoldEdges << " non-manifold edges, " << f.zeroAreaTriangles
         << " zero-area triangles";
}

// Corners welded where their positions are equal, then every edge counted.
Faults FaultsOf(const std::vector<Triangle>& triangles) {
    std::vector<std::pair<Corner, std::size_t>> corners;
    for (std::size_t t = 0; t < triangles.size(); ++t) {
        for (std::size_t c = 0; c < 3; ++c) corners.emplace_back(triangles[t][c], 3 * t + c);
    }
    std::sort(corners.begin(), corners.end());
    std::vector<std::uint64_t> welded(corners.size());
    std::uint64_t point = 0;
    for (std::size_t k = 0; k < corners.size(); ++k) {
        if (k > 0 && corners[k].first != corners[k - 1].first) ++point;
        welded[corners[k].second] = point;
    }
    Faults faults;
    std::vector<std::uint64_t> edges;
    for (std::size_t t = 0; t < triangles.size(); ++t) {
        const std::uint64_t* v = &welded[3 * t];
        double d[2][3];
        for (int k = 0; k < 2; ++k) {
            for (int axis = 0; axis < 3; ++axis) {
                d[k][axis] = static_cast<double>(std::bit_cast<float>(triangles[t][k + 1][axis])) -
                             std::bit_cast<float>(triangles[t][0][axis]);
            }
        }
        // An exactly zero cross product.
        const bool flat = d[0][1] * d[1][2] == d[0][2] * d[1][1] && d[0][2] * d[1][0] == d[0][0] * d[1][2] &&
                          d[0][0] * d[1][1] == d[0][1] * d[1][0];
        if (v[0] == v[1] || v[1] == v[2] || v[2] == v[0] || flat) ++faults.zeroAreaTriangles;
        for (int k = 0; k < 3; ++k) {
            const std::uint64_t a = v[k], b = v[(k + 1) % 3];
            if (a != b) edges.push_back(std::min(a, b) << 32 | std::max(a, b));
        }
    }
    std::sort(edges.begin(), edges.end());
    for (auto run = edges.begin(); run != edges.end();) {
        const auto end = std::upper_bound(run, edges.end(), *run);
        faults.openEdges += end - run == 1;
        faults.nonManifoldEdges += end - run > 2;
        run = end;
    }
    return faults;
}

TEST(SampleFigures, ExportAsClosedSurfaces) {
    const fs::path dir = fs::temp_directory_path() / ("mw_sample_figures_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    formats::SetSyncEachFile(false);
    ForEachFigure([&](std::uint32_t seed, model::Creature& creature) {
        testsupport::RecordingSink sink;
        const fs::path path = dir / ("figure-" + std::to_string(seed) + ".stl");
        EXPECT_TRUE(formats::ExportStl(creature, path.string(), sink)) << "seed " << seed;
        const std::vector<Triangle> triangles = ReadStl(path);
        fs::remove(path);
        EXPECT_GT(triangles.size(), 1000u) << "seed " << seed;
        EXPECT_EQ(FaultsOf(triangles), Faults{}) << "seed " << seed;
        return !::testing::Test::HasFailure();
    });
    formats::SetSyncEachFile(true);
    fs::remove_all(dir);
}

TEST(SampleFigures, StandWholeInTheStartUpViewWithRoomAboveAndBelow) {
    ForEachFigure([&](std::uint32_t seed, model::Creature& creature) {
        const RenderSettings view{};  // the program's start-up view, on black
        Picture picture;
        std::string error;
        EXPECT_TRUE(RenderPicture(creature, view, picture, error)) << error;
        // The top and bottom 2 % of the rows show nothing but the background.
        const int margin = (picture.height * 2 + 99) / 100;
        const std::size_t rowBytes = 3 * static_cast<std::size_t>(picture.width);
        auto drawnIn = [&](int firstRow) {
            const auto from = picture.rgb.begin() + static_cast<std::ptrdiff_t>(rowBytes * firstRow);
            return std::any_of(from, from + static_cast<std::ptrdiff_t>(rowBytes * margin),
                               [](unsigned char c) { return c != 0; });
        };
        EXPECT_FALSE(drawnIn(0)) << "seed " << seed << ": the figure reaches the top " << margin << " rows";
        EXPECT_FALSE(drawnIn(picture.height - margin))
            << "seed " << seed << ": the figure reaches the bottom " << margin << " rows";
        return !::testing::Test::HasFailure();
    });
}

TEST(SampleFigures, TheLibrarysUnitMakesTheMedianFigureAPersonsHeight) {
    formats::LibrarySettings settings;
    std::string problem;
    ASSERT_TRUE(formats::ReadLibrarySettings(kLibrary, settings, problem)) << problem;
    ASSERT_TRUE(fs::is_regular_file(fs::path(kLibrary) / formats::kLibrarySettingsFile));
    std::vector<double> heights;
    ForEachFigure([&](std::uint32_t, model::Creature& creature) {
        float lowest = INFINITY, highest = -INFINITY;
        for (int i = 0; i < creature.parts.Count(); ++i) {
            const std::vector<float>& points = creature.PartAt(i)->points;
            for (std::size_t y = 1; y < points.size(); y += 3) {
                lowest = std::min(lowest, points[y]);
                highest = std::max(highest, points[y]);
            }
        }
        heights.push_back(static_cast<double>(highest) - lowest);
        return true;
    });
    ASSERT_EQ(heights.size(), kSeeds);
    std::sort(heights.begin(), heights.end());
    const double median = (heights[kSeeds / 2 - 1] + heights[kSeeds / 2]) / 2;
    EXPECT_NEAR(median * settings.metresPerUnit, 1.75, 0.01);
}

}  // namespace
}  // namespace cli
