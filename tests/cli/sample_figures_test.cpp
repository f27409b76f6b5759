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
#include <iterator>
#include <ostream>
#include <vector>

#include <unistd.h>

#include "../support/recording_sink.h"
#include "../support/stl_corners.h"
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

// A binary STL file's triangle corners as float bit patterns, -0 taken as
// +0 so that equal positions have equal patterns.
using Corner = std::array<std::uint32_t, 3>;

std::vector<Corner> ReadStlCorners(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<float> xyz = testsupport::StlCorners(bytes);
    std::vector<Corner> corners(xyz.size() / 3);
    for (std::size_t k = 0; k < corners.size(); ++k) {
        for (std::size_t axis = 0; axis < 3; ++axis) corners[k][axis] = std::bit_cast<std::uint32_t>(xyz[3 * k + axis] + 0.0f);
    }
    return corners;
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

// Hash tables of plain arrays, open addressing: a figure's 30 000 corners
// are welded quickly in the unoptimised sanitizer build too.
std::size_t TableSize(std::size_t entries) {
    std::size_t size = 1;
    while (size < 2 * entries) size *= 2;
    return size;
}

std::size_t Slot(std::uint64_t key, std::size_t size) { return (key * 0x9E3779B97F4A7C15u >> 20) & (size - 1); }

bool Flat(const Corner& a, const Corner& b, const Corner& c) {
    double d[2][3];
    for (int axis = 0; axis < 3; ++axis) {
        const double origin = std::bit_cast<float>(a[axis]);
        d[0][axis] = std::bit_cast<float>(b[axis]) - origin;
        d[1][axis] = std::bit_cast<float>(c[axis]) - origin;
    }
    return d[0][1] * d[1][2] == d[0][2] * d[1][1] && d[0][2] * d[1][0] == d[0][0] * d[1][2] &&
           d[0][0] * d[1][1] == d[0][1] * d[1][0];
}

// Every corner welded to the first corner at its position, then every edge
// between two welded points counted.
Faults FaultsOf(const std::vector<Corner>& corners) {
    constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    const std::size_t size = TableSize(corners.size());
    std::vector<std::uint32_t> firstAt(size, kEmpty);
    std::vector<std::uint32_t> point(corners.size());
    for (std::uint32_t k = 0; k < corners.size(); ++k) {
        const Corner& c = corners[k];
        std::size_t s = Slot((std::uint64_t{c[0]} << 32 | c[1]) ^ std::uint64_t{c[2]} * 0xC2B2AE3D27D4EB4Fu, size);
        while (firstAt[s] != kEmpty && corners[firstAt[s]] != c) s = (s + 1) & (size - 1);
        if (firstAt[s] == kEmpty) firstAt[s] = k;
        point[k] = firstAt[s];
    }
    Faults faults;
    std::vector<std::uint64_t> edge(size, 0);  // 0: empty (no edge runs from point 0 to itself)
    std::vector<int> uses(size, 0);
    for (std::size_t t = 0; t + 2 < corners.size(); t += 3) {
        const std::uint32_t v[3] = {point[t], point[t + 1], point[t + 2]};
        // Two corners on one point, or an exactly zero cross product.
        if (v[0] == v[1] || v[1] == v[2] || v[2] == v[0] || Flat(corners[t], corners[t + 1], corners[t + 2])) {
            ++faults.zeroAreaTriangles;
        }
        for (int k = 0; k < 3; ++k) {
            const std::uint32_t a = v[k], b = v[(k + 1) % 3];
            if (a == b) continue;
            const std::uint64_t key = std::uint64_t{std::min(a, b)} << 32 | std::max(a, b);
            std::size_t s = Slot(key, size);
            while (edge[s] != 0 && edge[s] != key) s = (s + 1) & (size - 1);
            edge[s] = key;
            ++uses[s];
        }
    }
    for (std::size_t s = 0; s < size; ++s) {
        faults.openEdges += uses[s] == 1;
        faults.nonManifoldEdges += uses[s] > 2;
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
        if (!formats::ExportStl(creature, path.string(), sink)) {
            ADD_FAILURE() << "seed " << seed << ": no STL written";
            return false;
        }
        const std::vector<Corner> corners = ReadStlCorners(path);
        fs::remove(path);
        EXPECT_GT(corners.size(), 3000u) << "seed " << seed;
        EXPECT_EQ(FaultsOf(corners), Faults{}) << "seed " << seed;
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
        if (!RenderPicture(creature, view, picture, error)) {
            ADD_FAILURE() << "seed " << seed << ": " << error;
            return false;
        }
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
