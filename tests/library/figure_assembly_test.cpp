#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "formats/object_reader.h"
#include "mesh_checks.h"
#include "model/connection_tables.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "sample_library.h"
#include "../support/recording_sink.h"

using librarytest::PartFiles;

namespace {

constexpr double kClosed = 1e-5;

std::string TypeName(int typeId) { return std::string(model::partTypeNames[typeId]); }

struct Bounds {
    float lo[3] = {1e9f, 1e9f, 1e9f};
    float hi[3] = {-1e9f, -1e9f, -1e9f};
    float Centre(int k) const { return (lo[k] + hi[k]) / 2; }
};

Bounds BoundsOf(const model::Creature& creature, int onlyType = -1) {
    Bounds b;
    for (int i = 0; i < creature.parts.Count(); ++i) {
        const model::MeshObject* part = creature.PartAt(i);
        if (onlyType >= 0 && part->typeId != onlyType) continue;
        for (std::size_t p = 0; p < part->points.size(); p += 3) {
            for (int k = 0; k < 3; ++k) {
                b.lo[k] = std::min(b.lo[k], part->points[p + k]);
                b.hi[k] = std::max(b.hi[k], part->points[p + k]);
            }
        }
    }
    return b;
}

// Sets every part in the given order of type ids; part t takes variant
// pick(t) of its sorted files.
template <typename Pick>
void SetFigure(model::Creature& creature, const std::vector<int>& order, Pick pick) {
    for (int type : order) {
        const std::vector<std::string> files = PartFiles(TypeName(type));
        ASSERT_FALSE(files.empty()) << TypeName(type);
        const std::string& path = files[pick(type) % files.size()];
        EXPECT_TRUE(formats::SetPartFromFile(creature, TypeName(type), path, model::PanelIndexOfTypeId(type))) << path;
    }
}

std::vector<int> PanelOrder() {
    std::vector<int> order;
    for (int panel = 0; panel < model::kPartTypeCount; ++panel) order.push_back(model::panelToTypeId[panel]);
    return order;
}

std::size_t MostVariants() {
    std::size_t most = 0;
    for (std::string_view name : model::partTypeNames) most = std::max(most, PartFiles(std::string(name)).size());
    return most;
}

}  // namespace

TEST(FigureAssembly, EveryVariantOfEveryNeighbourPairConnectsEitherWay) {
    int pairs = 0;
    for (const model::ConnectionRow& row : model::ConnectionTable) {
        for (int k = 0; k < row.seamCount; ++k) {
            const int other = row.seams[k].neighbourType;
            if (other < row.typeId) continue;  // each seam once
            const std::vector<std::string> ours = PartFiles(TypeName(row.typeId));
            const std::vector<std::string> theirs = PartFiles(TypeName(other));
            for (const std::string& a : ours) {
                for (const std::string& b : theirs) {
                    for (bool oursFirst : {true, false}) {
                        SCOPED_TRACE(a + (oursFirst ? " then " : " after ") + b);
                        testsupport::RecordingSink sink;
                        model::Creature creature(sink);
                        const std::string& first = oursFirst ? a : b;
                        const std::string& second = oursFirst ? b : a;
                        const int firstType = oursFirst ? row.typeId : other;
                        const int secondType = oursFirst ? other : row.typeId;
                        ASSERT_TRUE(formats::SetPartFromFile(creature, TypeName(firstType), first, 0));
                        ASSERT_TRUE(formats::SetPartFromFile(creature, TypeName(secondType), second, 0));
                        EXPECT_TRUE(sink.shown.empty()) << sink.shown.front();
                        EXPECT_LT(librarytest::WidestSeamGap(creature), kClosed);
                        ++pairs;
                    }
                }
            }
        }
    }
    EXPECT_GT(pairs, 21 * 9 * 2 - 1);
}

TEST(FigureAssembly, WholeFiguresInPanelOrderAreClosedUprightAndCentred) {
    const std::size_t variants = MostVariants();
    ASSERT_GE(variants, 3u);
    for (std::size_t v = 0; v < variants; ++v) {
        SCOPED_TRACE("variant " + std::to_string(v));
        testsupport::RecordingSink sink;
        model::Creature creature(sink);
        SetFigure(creature, PanelOrder(), [&](int) { return v; });
        EXPECT_EQ(creature.parts.Count(), model::kPartTypeCount);
        EXPECT_TRUE(sink.shown.empty()) << sink.shown.front();
        EXPECT_LT(librarytest::WidestSeamGap(creature), kClosed);

        const Bounds all = BoundsOf(creature);
        // Crown to soles: built 0.36 tall about y = 0, then written scaled and raised.
        EXPECT_NEAR(all.hi[1] - all.lo[1], 0.36 * library::kWrittenScale, 0.012);
        EXPECT_NEAR(all.Centre(1), library::kWrittenRaise, 0.008);
        EXPECT_NEAR(all.Centre(0), 0.0, 1e-4);  // left and right mirror each other
        EXPECT_NEAR(all.Centre(2), 0.0, 0.01);
        // Upright, left side at +x, facing -z (towards the viewer once the
        // view mirrors z): head on top, nose in front of the head.
        const Bounds head = BoundsOf(creature, 0), nose = BoundsOf(creature, 17);
        const Bounds leftFoot = BoundsOf(creature, 13), leftHand = BoundsOf(creature, 1);
        EXPECT_GT(head.lo[1], all.hi[1] - 0.06);
        EXPECT_LT(leftFoot.lo[1], all.lo[1] + 0.001);
        EXPECT_GT(leftHand.Centre(0), 0.04);
        EXPECT_LT(nose.lo[2], head.lo[2]);
        EXPECT_LT(leftFoot.lo[2], head.lo[2]);  // toes point forward
    }
}

TEST(FigureAssembly, AnyOrderOfSettingPartsGivesAClosedFigure) {
    std::vector<int> reversed = PanelOrder();
    std::reverse(reversed.begin(), reversed.end());
    std::vector<int> byTypeId;
    for (int t = 0; t < model::kPartTypeCount; ++t) byTypeId.push_back(t);
    // Limbs before the body, face parts before the head, the neck last.
    const std::vector<int> outsideIn = {1, 13, 15, 19, 17, 5, 9, 18, 0, 3, 11, 2, 14, 6, 10, 16, 20, 4, 12, 8, 7, 21};
    for (const std::vector<int>* order : std::vector<const std::vector<int>*>{&reversed, &byTypeId, &outsideIn}) {
        for (int shift = 0; shift < 3; ++shift) {
            SCOPED_TRACE("order starting with type " + std::to_string(order->front()) + ", shift " +
                         std::to_string(shift));
            testsupport::RecordingSink sink;
            model::Creature creature(sink);
            SetFigure(creature, *order, [&](int type) { return static_cast<std::size_t>(type + shift); });
            EXPECT_EQ(creature.parts.Count(), model::kPartTypeCount);
            EXPECT_TRUE(sink.shown.empty()) << sink.shown.front();
            EXPECT_LT(librarytest::WidestSeamGap(creature), kClosed);
            const Bounds all = BoundsOf(creature);
            EXPECT_NEAR(all.hi[1] - all.lo[1], 0.36 * library::kWrittenScale, 0.012);
            EXPECT_NEAR(all.Centre(1), library::kWrittenRaise, 0.02);
        }
    }
}

TEST(FigureAssembly, ReplacingAPartKeepsTheFigureClosed) {
    testsupport::RecordingSink sink;
    model::Creature creature(sink);
    SetFigure(creature, PanelOrder(), [](int) { return std::size_t{0}; });
    // Swap every variant of the upper body, the neck and the head in turn:
    // their neighbours are pulled along and welded again.
    for (int type : {7, 21, 0, 8, 3}) {
        const std::vector<std::string> files = PartFiles(TypeName(type));
        for (const std::string& path : files) {
            SCOPED_TRACE(path);
            ASSERT_TRUE(formats::SetPartFromFile(creature, TypeName(type), path, model::PanelIndexOfTypeId(type)));
            EXPECT_EQ(creature.parts.Count(), model::kPartTypeCount);
            EXPECT_LT(librarytest::WidestSeamGap(creature), kClosed);
        }
    }
    EXPECT_TRUE(sink.shown.empty()) << sink.shown.front();
}
