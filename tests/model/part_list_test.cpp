#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "figure_fixture.h"
#include "model/part_types.h"

namespace {

using testdata::Figure;

// Parts without seams: they join the figure wherever they stand, so the
// list alone decides where each one is.
std::unique_ptr<model::MeshObject> Loose(const std::string& type) {
    testdata::PartShape shape;
    testdata::AddPoints(shape, {{0, 0, 0}, {1, 0, 0}});
    return testdata::MakePart(type, shape);
}

std::int32_t PanelOf(const std::string& type) { return model::PanelIndexOfTypeId(model::TypeIdOfName(type)); }

using PartListTest = Figure;

// Parts come in several orders, some go and come again, one is replaced:
// positions, lookups by type and by name, and walking the list agree with
// the order a list keeps (the end for a new or replacing part, the rest
// moving up when one goes).
TEST_F(PartListTest, PositionsLookupsAndIterationAgreeAsPartsComeAndGo) {
    const std::vector<std::vector<std::string>> orders = {
        {"Stomach", "Upper body", "Head", "Left arm", "Right thigh"},
        {"Right thigh", "Head", "Stomach", "Left arm", "Upper body"},
        {"Left arm", "Upper body", "Right thigh", "Stomach", "Head"},
    };
    for (const auto& order : orders) {
        model::Creature figure(sink);
        std::vector<std::string> expected;
        const auto check = [&](const std::string& step) {
            SCOPED_TRACE(step);
            ASSERT_EQ(figure.parts.Count(), static_cast<std::int32_t>(expected.size()));
            std::vector<std::string> walked;
            for (const model::MeshObject& part : figure.parts) walked.push_back(part.objectType);
            EXPECT_EQ(walked, expected);
            for (std::size_t p = 0; p < expected.size(); ++p) {
                model::MeshObject* at = figure.PartAt(static_cast<std::int32_t>(p));
                ASSERT_NE(at, nullptr);
                EXPECT_EQ(at->objectType, expected[p]);
                EXPECT_EQ(figure.PartNamed(expected[p]), at);
                EXPECT_EQ(figure.PartOfPanel(PanelOf(expected[p])), at);
            }
            EXPECT_EQ(figure.PartAt(static_cast<std::int32_t>(expected.size())), nullptr);
            EXPECT_EQ(figure.PartAt(-1), nullptr);
        };
        for (const std::string& type : order) {
            ASSERT_TRUE(figure.SetPart(type, Loose(type), PanelOf(type)));
            expected.push_back(type);
        }
        check("all added");
        for (const std::string& gone : {order[1], order[3]}) {
            EXPECT_TRUE(figure.SetPart(gone, nullptr, PanelOf(gone)));
            expected.erase(std::find(expected.begin(), expected.end(), gone));
        }
        EXPECT_FALSE(figure.SetPart(order[1], nullptr, PanelOf(order[1])));  // already gone
        EXPECT_EQ(figure.PartNamed(order[1]), nullptr);
        check("two removed");
        ASSERT_TRUE(figure.SetPart(order[3], Loose(order[3]), PanelOf(order[3])));
        expected.push_back(order[3]);
        ASSERT_TRUE(figure.SetPart(order[0], Loose(order[0]), PanelOf(order[0])));  // replaced
        expected.erase(expected.begin());
        expected.push_back(order[0]);
        check("one back, one replaced");
    }
    EXPECT_TRUE(sink.shown.empty());
}

TEST(PartList, RefusesNothingAndPositionsOutside) {
    model::PartList list;
    EXPECT_FALSE(list.Append(nullptr));
    EXPECT_FALSE(list.RemoveAt(0));
    ASSERT_TRUE(list.Append(Loose("Head")));
    EXPECT_FALSE(list.RemoveAt(1));
    EXPECT_FALSE(list.RemoveAt(-1));
    EXPECT_EQ(list.At(1), nullptr);
    EXPECT_TRUE(list.RemoveAt(0));
    EXPECT_EQ(list.Count(), 0);
}

}  // namespace
