#include <gtest/gtest.h>

#include <vector>

#include "model/part_list.h"

namespace {

class Counted : public model::ListItem {
public:
    Counted(int id, int& deaths) : id(id), deaths_(deaths) {}
    ~Counted() override { ++deaths_; }
    int id;

private:
    int& deaths_;
};

int IdAt(const model::PartList& list, int position) {
    return static_cast<Counted*>(list.ItemAt(position))->id;
}

// Links forwards and backwards agree with the count.
void ExpectLinked(const model::PartList& list) {
    model::ListItem* item = list.first;
    model::ListItem* previous = nullptr;
    for (int i = 0; i < list.Count(); ++i) {
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->prev, previous);
        previous = item;
        item = item->next;
    }
    EXPECT_EQ(item, nullptr);
}

}  // namespace

TEST(PartList, AppendAndRemoveKeepTheLinks) {
    int deaths = 0;
    model::PartList list;
    EXPECT_FALSE(list.RemoveAt(0));

    auto* only = new Counted(1, deaths);
    list.Append(only);
    EXPECT_EQ(list.first, only);
    EXPECT_EQ(only->next, nullptr);
    EXPECT_EQ(only->prev, nullptr);

    // Removing the only item empties the list; it fills again afterwards.
    EXPECT_TRUE(list.RemoveAt(0));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(deaths, 1);
    for (int id = 10; id < 15; ++id) list.Append(new Counted(id, deaths));
    ExpectLinked(list);
    EXPECT_EQ(IdAt(list, 4), 14);

    // Position 0 of a longer list: the second item becomes first.
    EXPECT_TRUE(list.RemoveAt(0));
    EXPECT_EQ(IdAt(list, 0), 11);
    EXPECT_EQ(list.first->prev, nullptr);
    // The middle and the end.
    EXPECT_TRUE(list.RemoveAt(1));
    EXPECT_TRUE(list.RemoveAt(2));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(IdAt(list, 0), 11);
    EXPECT_EQ(IdAt(list, 1), 13);
    ExpectLinked(list);
    EXPECT_EQ(deaths, 4);

    EXPECT_FALSE(list.RemoveAt(2));
    EXPECT_FALSE(list.RemoveAt(-1));
    EXPECT_EQ(list.ItemAt(2), nullptr);
    EXPECT_EQ(list.ItemAt(-1), nullptr);
    EXPECT_EQ(list.Count(), 2);
}

TEST(PartList, IndexGivesPositionsAndClampsTheEnds) {
    int deaths = 0;
    model::PartList list;
    EXPECT_EQ(list.At(0), nullptr);  // no index yet
    list.RebuildIndex();
    EXPECT_EQ(list.At(0), nullptr);  // an empty list's index holds nothing

    for (int id = 0; id < 3; ++id) list.Append(new Counted(id, deaths));
    list.RebuildIndex();
    EXPECT_EQ(static_cast<Counted*>(list.At(1))->id, 1);
    EXPECT_EQ(static_cast<Counted*>(list.At(-1))->id, 0);
    EXPECT_EQ(static_cast<Counted*>(list.At(3))->id, 2);

    // Appending leaves the index alone until the next rebuild.
    list.Append(new Counted(3, deaths));
    EXPECT_EQ(static_cast<Counted*>(list.At(3))->id, 2);
    list.RebuildIndex();
    EXPECT_EQ(static_cast<Counted*>(list.At(3))->id, 3);
}

TEST(PartList, RemovingAMiddlePartLeavesEveryOtherPositionRight) {
    for (int size = 3; size <= 5; ++size) {
        for (int removed = 1; removed < size - 1; ++removed) {
            SCOPED_TRACE(::testing::Message() << "size " << size << ", removed " << removed);
            int deaths = 0;
            model::PartList list;
            std::vector<model::ListItem*> kept;
            for (int id = 0; id < size; ++id) {
                auto* item = new Counted(id, deaths);
                list.Append(item);
                if (id != removed) kept.push_back(item);
            }
            list.RebuildIndex();
            ASSERT_TRUE(list.RemoveAt(removed));
            list.RebuildIndex();
            EXPECT_EQ(deaths, 1);
            ASSERT_EQ(list.Count(), size - 1);

            // Pointers only, so that a broken link is reported, not followed
            // into a destroyed item.
            const int last = size - 2;
            for (int position = 0; position <= last; ++position) {
                EXPECT_EQ(list.ItemAt(position), kept[position]) << "position " << position;
                EXPECT_EQ(list.At(position), kept[position]) << "position " << position;
                EXPECT_EQ(kept[position]->next, position < last ? kept[position + 1] : nullptr);
                EXPECT_EQ(kept[position]->prev, position > 0 ? kept[position - 1] : nullptr);
            }
            EXPECT_EQ(list.first, kept[0]);
            EXPECT_EQ(list.At(size), kept[last]);
        }
    }
}

TEST(PartList, DestroyingTheListDestroysEveryItem) {
    int deaths = 0;
    {
        model::PartList list;
        for (int id = 0; id < 4; ++id) list.Append(new Counted(id, deaths));
        list.RebuildIndex();
    }
    EXPECT_EQ(deaths, 4);
}
