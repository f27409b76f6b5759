// The export operations of the model: seam marks and surface renaming.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export_fixture.h"

using exporttest::Append;
using exporttest::CodePart;
using exporttest::RecordingSink;

namespace {

struct MarkCase {
    std::vector<int> marked;
    std::uint32_t flags;
    std::vector<int> countsAsMarked;  // of k = -1 … 8
};

}  // namespace

// The marks are values: a list counts as marked when all bits of its own
// value are set, whichever lists set them.
TEST(BoundaryMarks, MarksAreValuesNotBits) {
    const std::vector<MarkCase> cases = {
        {{}, 0, {}},
        {{0}, 1, {0}},
        {{1}, 256, {1}},
        {{2}, 512, {2}},
        {{1, 2}, 768, {1, 2, 3}},
        {{3}, 768, {1, 2, 3}},
        {{4}, 1024, {4}},
        {{5}, 1280, {1, 4, 5}},
        {{2, 4}, 1536, {2, 4, 6}},
        {{0, 6}, 1 + 1536, {0, 2, 4, 6}},
        // List 7 sets 1792 (every bit of lists 1 to 6) but never counts as marked itself.
        {{7}, 1792, {1, 2, 3, 4, 5, 6}},
        // Outside 0 … 7 nothing is marked.
        {{-1, 8, 100}, 0, {}},
    };
    for (const MarkCase& c : cases) {
        model::MeshObject part;
        part.exportFlags = 0;
        for (int k : c.marked) part.MarkBoundaryList(k);
        SCOPED_TRACE(::testing::PrintToString(c.marked));
        EXPECT_EQ(part.exportFlags, c.flags);
        for (int k = -1; k <= 8; ++k) {
            const bool expected = std::find(c.countsAsMarked.begin(), c.countsAsMarked.end(), k) != c.countsAsMarked.end();
            EXPECT_EQ(part.IsBoundaryListMarked(k), expected ? 1 : 0) << "list " << k;
        }
    }
}

TEST(SurfaceNames, PrefixCarriesTheTypeAndRestoreGivesTheNamesBack) {
    const std::string longName(250, 'n');
    auto part = CodePart("Left arm", {0, 0, 0}, {}, {"Skin", "", longName});
    part->surfaces[3].name = "spare";  // beyond surfaceCount
    part->PrefixSurfaceNames();
    EXPECT_EQ(part->surfaces[0].name, "Left arm_Skin");
    EXPECT_EQ(part->surfaces[1].name, "Left arm_");
    // "Left arm_" and 250 bytes make 259: cut to 255.
    EXPECT_EQ(part->surfaces[2].name, "Left arm_" + std::string(246, 'n'));
    EXPECT_EQ(part->surfaces[3].name, "spare");
    EXPECT_TRUE(part->surfaces[1].hasSavedName);
    EXPECT_FALSE(part->surfaces[3].hasSavedName);

    // A second renaming before the restore keeps the own names.
    part->PrefixSurfaceNames();
    EXPECT_EQ(part->surfaces[0].name, "Left arm_Skin");

    part->RestoreSurfaceNames();
    EXPECT_EQ(part->surfaces[0].name, "Skin");
    EXPECT_EQ(part->surfaces[1].name, "");
    EXPECT_EQ(part->surfaces[2].name, longName);
    EXPECT_EQ(part->surfaces[3].name, "spare");
    for (const model::SurfaceRecord& surface : part->surfaces) {
        EXPECT_FALSE(surface.hasSavedName);
        EXPECT_TRUE(surface.savedName.empty());
    }

    // Restoring what was never renamed changes nothing.
    part->surfaces[0].name = "Changed";
    part->RestoreSurfaceNames();
    EXPECT_EQ(part->surfaces[0].name, "Changed");
}

TEST(SurfaceNames, TheCreatureRenamesEveryPart) {
    RecordingSink sink;
    model::Creature creature(sink);
    model::MeshObject* head = Append(creature, CodePart("Head", {0, 0, 0}, {}, {"Skin"}));
    model::MeshObject* neck = Append(creature, CodePart("Neck", {0, 0, 0}, {}, {"Skin", "Collar"}));
    creature.PrefixAllSurfaceNames();
    EXPECT_EQ(head->surfaces[0].name, "Head_Skin");
    EXPECT_EQ(neck->surfaces[0].name, "Neck_Skin");
    EXPECT_EQ(neck->surfaces[1].name, "Neck_Collar");
    creature.RestoreAllSurfaceNames();
    EXPECT_EQ(head->surfaces[0].name, "Skin");
    EXPECT_EQ(neck->surfaces[1].name, "Collar");
    EXPECT_TRUE(sink.shown.empty());
}
