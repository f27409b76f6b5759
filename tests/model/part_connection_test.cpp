#include <gtest/gtest.h>

#include "../support/temp_folder.h"
#include "figure_fixture.h"
#include "formats/object_reader.h"

using testdata::AddPoints;
using testdata::AddSeam;
using testdata::MakePart;
using testdata::PartShape;
using testdata::PointOf;
using testdata::SeamCentre;
using testdata::SeamClosed;

using Figure = testdata::Figure;

TEST_F(Figure, SingleNeighbourMovesTheNewPartAndWeldsTheSeam) {
    PartShape hand;
    hand.lists[0] = AddPoints(hand, {{10, 0, 0}, {13, 0, 0}});
    AddPoints(hand, {{20, 0, 0}});
    model::MeshObject* h = Add("Left hand", hand);
    // The first part stays where its file puts it.
    EXPECT_EQ(h->points, hand.points);
    EXPECT_EQ(h->typeId, 1);

    PartShape forearm;
    forearm.normal = {1, 0, 0};
    forearm.lists[0] = AddPoints(forearm, {{0, 0, 0}, {2, 0, 0}});
    AddPoints(forearm, {{5, 5, 5}});
    model::MeshObject* f = Add("Left forearm", forearm);

    // Centres (1,0,0) and (11.5,0,0): the forearm moves by 10.5 and the seam
    // pairs meet halfway.
    EXPECT_EQ(PointOf(*f, 2), (std::array<float, 3>{15.5f, 5, 5}));
    EXPECT_EQ(PointOf(*f, 0), (std::array<float, 3>{10.25f, 0, 0}));
    EXPECT_EQ(PointOf(*f, 1), (std::array<float, 3>{12.75f, 0, 0}));
    EXPECT_TRUE(SeamClosed(*f, 0, *h, 0));
    // The hand is not moved; only its seam is averaged. Rest points keep the
    // move but not the weld.
    EXPECT_EQ(PointOf(*h, 2), (std::array<float, 3>{20, 0, 0}));
    EXPECT_EQ(h->restPoints, hand.points);
    EXPECT_FLOAT_EQ(f->restPoints[0], 10.5f);
    EXPECT_FLOAT_EQ(f->restPoints[3], 12.5f);
    // Seam normals are averaged, not renormalised; the others stay.
    EXPECT_FLOAT_EQ(f->normals[0], 0.5f);
    EXPECT_FLOAT_EQ(h->normals[2], 0.5f);
    EXPECT_FLOAT_EQ(h->normals[3 * 2 + 2], 1.0f);

    EXPECT_EQ(creature.parts.Count(), 2);
    EXPECT_EQ(creature.PartAt(1), f);
    EXPECT_EQ(creature.PartAt(2), nullptr);
    EXPECT_EQ(creature.PartAt(-1), nullptr);
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(Figure, NeckMovesOntoTheUpperBodyAndPullsTheHeadWithItsFace) {
    PartShape body;
    AddSeam(body, 2, {0, 10, 0}, 4);
    AddPoints(body, {{0, 0, 0}});
    model::MeshObject* b = Add("Upper body", body);

    PartShape head;
    AddSeam(head, 0, {50, 50, 0}, 4);
    AddSeam(head, 1, {49, 56, 1}, 2);
    AddSeam(head, 3, {50, 55, 1}, 3);
    AddPoints(head, {{50, 60, 0}});
    model::MeshObject* h = Add("Head", head);
    EXPECT_EQ(h->points, head.points);  // no neighbour yet

    PartShape nose;
    AddSeam(nose, 0, {0, 0, 0}, 3);
    AddPoints(nose, {{0, 0, 2}});
    model::MeshObject* n = Add("Nose", nose);
    PartShape eye;
    AddSeam(eye, 0, {7, 7, 7}, 2);
    model::MeshObject* e = Add("Left eye", eye);
    EXPECT_TRUE(SeamClosed(*n, 0, *h, 3));
    EXPECT_TRUE(SeamClosed(*e, 0, *h, 1));
    const auto noseTip = PointOf(*n, 3);
    const auto eyeCentre = SeamCentre(*e, 0);

    PartShape neck;
    AddSeam(neck, 0, {100, 0, 0}, 4);
    AddSeam(neck, 1, {100, 3, 0}, 4);
    model::MeshObject* k = Add("Neck", neck);

    // The neck lands on the upper body; the head and its face follow rigidly
    // onto the neck's upper seam, from (50,50,0) to (0,13,0).
    EXPECT_EQ(PointOf(*b, 4), (std::array<float, 3>{0, 0, 0}));
    EXPECT_TRUE(SeamClosed(*k, 0, *b, 2));
    EXPECT_TRUE(SeamClosed(*k, 1, *h, 0));
    EXPECT_EQ(PointOf(*h, 9), (std::array<float, 3>{0, 23, 0}));
    EXPECT_EQ(PointOf(*n, 3), (std::array<float, 3>{noseTip[0] - 50, noseTip[1] - 37, noseTip[2]}));
    EXPECT_NEAR(SeamCentre(*e, 0)[0], eyeCentre[0] - 50, 1e-5);
    EXPECT_NEAR(SeamCentre(*e, 0)[1], eyeCentre[1] - 37, 1e-5);
    EXPECT_TRUE(SeamClosed(*n, 0, *h, 3));
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(Figure, StomachMovesByItsParentSeamAndPullsTheThighAndLeg) {
    PartShape body;
    AddSeam(body, 0, {0, -10, 0}, 4);
    model::MeshObject* b = Add("Upper body", body);
    PartShape thigh;
    AddSeam(thigh, 0, {30, -50, 0}, 3);
    AddSeam(thigh, 1, {30, -40, 0}, 4);
    model::MeshObject* t = Add("Right thigh", thigh);
    PartShape leg;
    AddSeam(leg, 1, {0, 0, 0}, 3);
    AddPoints(leg, {{0, -5, 0}});
    model::MeshObject* l = Add("Right leg", leg);
    const auto foot = PointOf(*l, 3);

    PartShape stomach;
    AddSeam(stomach, 0, {-5, -20, 0}, 4);
    AddSeam(stomach, 1, {0, -18, 0}, 4);
    AddSeam(stomach, 2, {5, -20, 0}, 4);
    model::MeshObject* s = Add("Stomach", stomach);

    // Moved by (0, 8, 0): its list 1 onto the upper body's list 0, not list 0
    // (whose neighbour is absent).
    EXPECT_NEAR(SeamCentre(*s, 0)[1], -12.0, 1e-5);
    EXPECT_TRUE(SeamClosed(*s, 1, *b, 0));
    // The thigh and the leg below it follow by (5,-12,0) - (30,-40,0).
    EXPECT_TRUE(SeamClosed(*s, 2, *t, 1));
    EXPECT_TRUE(SeamClosed(*t, 0, *l, 1));
    EXPECT_EQ(PointOf(*l, 3), (std::array<float, 3>{foot[0] - 25, foot[1] + 28, foot[2]}));
}

TEST_F(Figure, CountMismatchRefusesTheNewPartWithTheCounts) {
    PartShape hand;
    AddSeam(hand, 0, {0, 0, 0}, 12);
    Add("Left hand", hand);
    PartShape forearm;
    AddSeam(forearm, 0, {1, 1, 1}, 10);
    EXPECT_FALSE(TryAdd("Left forearm", forearm));
    EXPECT_EQ(creature.parts.Count(), 1);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].caption, "Cant connect object!");
    EXPECT_EQ(sink.shown[0].text,
              "Object you are trying to connect have: 10 points\n Object that it will be connected to have: 12 points");
    EXPECT_EQ(sink.shown[0].severity, ui::Severity::kError);

    // A child seam that does not match, found while pulling dependants.
    PartShape arm;
    AddSeam(arm, 0, {0, 0, 0}, 5);
    Add("Left arm", arm);
    PartShape body;
    AddSeam(body, 1, {0, 0, 0}, 4);
    AddSeam(body, 2, {0, 0, 0}, 4);
    PartShape neck;
    AddSeam(neck, 0, {0, 0, 0}, 4);
    Add("Neck", neck);
    PartShape arm2 = arm;
    arm2.lists[1] = AddPoints(arm2, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}});
    Add("Left arm", arm2);  // replaces the first arm
    EXPECT_FALSE(TryAdd("Upper body", body));
    EXPECT_EQ(sink.shown.back().text,
              "Object you are trying to connect have: 4 points\n Object that it will be connected to have: 3 points");
    EXPECT_EQ(creature.parts.Count(), 3);
}

TEST_F(Figure, EmptySeamsAndUnknownTypesChangeNothing) {
    PartShape hand;
    AddPoints(hand, {{1, 2, 3}});
    Add("Left hand", hand);
    PartShape forearm;
    AddPoints(forearm, {{4, 5, 6}});
    model::MeshObject* f = Add("Left forearm", forearm);
    // Both seams empty: no move, nothing welded, no division by zero.
    EXPECT_EQ(f->points, forearm.points);

    EXPECT_FALSE(TryAdd("Tail", forearm));
    EXPECT_FALSE(TryAdd("left hand", forearm));
    EXPECT_EQ(creature.parts.Count(), 2);
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(Figure, NoseAndMouthAreWeldedAgainByAnyWeld) {
    PartShape nose;
    AddSeam(nose, 1, {0, 0, 0}, 3);
    model::MeshObject* n = Add("Nose", nose);
    PartShape mouth;
    AddSeam(mouth, 1, {0, -1, 0}, 3);
    model::MeshObject* m = Add("Mouth", mouth);
    EXPECT_TRUE(SeamClosed(*n, 1, *m, 1));
    PartShape arm;
    AddSeam(arm, 0, {0, 0, 0}, 2);
    model::MeshObject* a = Add("Left arm", arm);

    n->points[1] += 1.0f;  // open the seam
    EXPECT_TRUE(creature.WeldNeighbours(a));
    EXPECT_TRUE(SeamClosed(*n, 1, *m, 1));

    m->boundaryLists[1].pop_back();
    EXPECT_FALSE(creature.WeldNoseMouth());
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text,
              "Object you are trying to connect have: 3 points\n Object that it will be connected to have: 2 points");
}

TEST_F(Figure, PartsAreFoundByPanelIndex) {
    PartShape single;
    AddPoints(single, {{0, 0, 0}});
    model::MeshObject* body = Add("Upper body", single);
    model::MeshObject* head = Add("Head", single);

    EXPECT_EQ(creature.PartOfPanel(8), body);
    EXPECT_EQ(creature.PartOfPanel(0), head);
    EXPECT_EQ(creature.PartOfPanel(1), nullptr);  // Left ear: empty slot
    EXPECT_EQ(creature.PartOfPanel(-1), nullptr);
    EXPECT_EQ(creature.PartOfPanel(22), nullptr);
}

TEST_F(Figure, SetPartReadsReplacesAndRemoves) {
    testsupport::TempFolder folder;
    PartShape shape;
    AddSeam(shape, 0, {0, 0, 0}, 4);
    const std::string first = testdata::WritePart(folder / "Round head.mwo", shape);
    const std::string second = testdata::WritePart(folder / "Long head.mwo", shape);

    ASSERT_TRUE(formats::SetPartFromFile(creature, "Head", first, 0));
    model::MeshObject* old = creature.PartOfPanel(0);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->objectName, first);
    EXPECT_EQ(old->objectType, "Head");

    // The panel index is the caller's.
    ASSERT_TRUE(formats::SetPartFromFile(creature, "Head", second, 5));
    ASSERT_EQ(creature.parts.Count(), 1);
    model::MeshObject* now = creature.PartAt(0);
    EXPECT_EQ(now->objectName, second);
    EXPECT_EQ(now->panelIndex, 5);

    // A file that is not an object file leaves the old part in place.
    const std::string notObject = testdata::WriteBytes(folder / "broken.mwo", {'X', 'Y', 'Z', 'W', 0, 0, 0, 0});
    EXPECT_FALSE(formats::SetPartFromFile(creature, "Head", notObject, 0));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].caption, "Unable to add object");
    EXPECT_EQ(sink.shown[0].text, notObject);
    EXPECT_EQ(sink.shown[0].severity, ui::Severity::kError);
    EXPECT_EQ(creature.PartAt(0), now);

    // A file without points.
    const std::string empty = testdata::WritePart(folder / "empty.mwo", PartShape());
    EXPECT_FALSE(formats::SetPartFromFile(creature, "Head", empty, 0));
    EXPECT_EQ(sink.shown.back().caption, "Unable to calculate object type");
    EXPECT_EQ(creature.parts.Count(), 1);

    // A type name outside the 22 adds nothing and says nothing.
    EXPECT_FALSE(formats::SetPartFromFile(creature, "Tail", first, 0));
    EXPECT_EQ(sink.shown.size(), 2u);
    EXPECT_EQ(creature.parts.Count(), 1);

    EXPECT_FALSE(creature.SetPart("Neck", nullptr, 0));
    EXPECT_TRUE(creature.SetPart("Head", nullptr, 0));
    EXPECT_EQ(creature.parts.Count(), 0);
    EXPECT_EQ(creature.PartAt(0), nullptr);
    EXPECT_FALSE(creature.SetPart("Head", nullptr, 0));
}
