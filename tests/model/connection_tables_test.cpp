#include <gtest/gtest.h>

#include "model/connection_tables.h"
#include "model/part_types.h"

using model::AttachmentTable;
using model::ConnectionTable;
using model::kPartTypeCount;

TEST(PartTypes, PanelOrderAndTypeIdsNameTheSameParts) {
    for (int k = 0; k < kPartTypeCount; ++k) {
        const int t = model::panelToTypeId[k];
        EXPECT_EQ(model::partTypeNames[t], model::panelOrder[k]) << k;
        EXPECT_EQ(model::PanelIndexOfTypeId(t), k);
        EXPECT_EQ(model::TypeIdOfName(model::panelOrder[k]), t);
    }
    EXPECT_EQ(model::TypeIdOfName("Upper body"), 7);
    EXPECT_EQ(model::TypeIdOfName("upper body"), -1);
    EXPECT_EQ(model::TypeIdOfName("Upper body "), -1);
    EXPECT_EQ(model::PanelIndexOfTypeId(22), -1);
}

TEST(ConnectionTables, EverySeamStandsInBothRowsWithCrossedLists) {
    int seams = 0;
    for (int t = 0; t < kPartTypeCount; ++t) {
        const model::ConnectionRow& row = ConnectionTable[t];
        EXPECT_EQ(row.typeId, t);
        for (int k = 0; k < row.seamCount; ++k) {
            const model::SeamEntry& e = row.seams[k];
            ASSERT_GE(e.neighbourType, 0);
            ASSERT_LT(e.neighbourType, kPartTypeCount);
            const model::ConnectionRow& other = ConnectionTable[e.neighbourType];
            ASSERT_LT(e.neighbourList, other.seamCount) << t << " seam " << k;
            EXPECT_EQ(other.seams[e.neighbourList].neighbourType, t) << t << " seam " << k;
            EXPECT_EQ(other.seams[e.neighbourList].neighbourList, k) << t << " seam " << k;
            ++seams;
        }
    }
    EXPECT_EQ(seams, 2 * 22);  // 21 seams of the tree plus nose to mouth, each twice
    EXPECT_EQ(ConnectionTable[7].level, 4);
    EXPECT_EQ(ConnectionTable[21].level, 3);
    EXPECT_EQ(ConnectionTable[17].level, 0);
}

TEST(ConnectionTables, DependantsAreTheChildOfTheSeamAndWhatHangsOffIt) {
    for (int t = 0; t < kPartTypeCount; ++t) {
        const model::AttachmentRow& row = AttachmentTable[t];
        for (int k = 0; k < row.seamGroupCount; ++k) {
            const model::AttachmentSeam& seam = row.seams[k];
            const model::SeamEntry& entry = ConnectionTable[t].seams[k];
            const int neighbourLevel = ConnectionTable[entry.neighbourType].level;
            if (seam.dependantCount == 0) {
                EXPECT_GE(neighbourLevel, ConnectionTable[t].level) << t << " seam " << k;
                continue;
            }
            // The first dependant is the child on the seam, by its own list.
            EXPECT_EQ(seam.dependants[0], entry.neighbourType) << t << " seam " << k;
            EXPECT_EQ(seam.childList, entry.neighbourList) << t << " seam " << k;
            EXPECT_LT(neighbourLevel, ConnectionTable[t].level);
            // Everything after hangs off an earlier dependant.
            for (int d = 1; d < seam.dependantCount; ++d) {
                const int dependant = seam.dependants[d];
                bool attached = false;
                for (int earlier = 0; earlier < d; ++earlier) {
                    const model::ConnectionRow& r = ConnectionTable[seam.dependants[earlier]];
                    for (int s = 0; s < r.seamCount; ++s) attached |= r.seams[s].neighbourType == dependant;
                }
                EXPECT_TRUE(attached) << t << " seam " << k << " dependant " << dependant;
            }
        }
    }
    EXPECT_EQ(AttachmentTable[7].seams[0].dependantCount, 7);
    EXPECT_EQ(AttachmentTable[7].seams[2].dependantCount, 8);
    EXPECT_EQ(AttachmentTable[0].seamGroupCount, 7);
    EXPECT_EQ(AttachmentTable[21].seams[1].dependantCount, 7);
    EXPECT_EQ(AttachmentTable[1].seamGroupCount, 0);
}
