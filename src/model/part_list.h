// ListItem and PartList: the creature keeps its parts in a doubly linked
// list, in the order they were added, with a positional index for the
// connection loops. The list owns its items.
#pragma once

#include <cstdint>
#include <memory>

namespace model {

class ListItem {
public:
    ListItem() = default;
    // A copy belongs to no list yet.
    ListItem(const ListItem& /*other*/) {}
    ListItem& operator=(const ListItem&) = delete;
    virtual void Hook() {}  // does nothing in any class
    virtual ~ListItem() = default;

    ListItem* next = nullptr;
    ListItem* prev = nullptr;
};

class PartList {
public:
    PartList() = default;
    ~PartList();
    PartList(const PartList&) = delete;
    PartList& operator=(const PartList&) = delete;

    std::int32_t Count() const { return count; }
    // Takes ownership of the item and adds it at the end (false for null).
    // Leaves `index` alone.
    bool Append(ListItem* item);
    // Unlinks and destroys the item at the position; false when out of range.
    bool RemoveAt(std::int32_t position);
    // Walks the links; null when out of range.
    ListItem* ItemAt(std::int32_t position) const;
    // Refills `index` from the links (count + 1 slots).
    bool RebuildIndex();
    // From `index`: a negative position gives the first item, count or more
    // the last. Valid only while count > 0 and the index is current; null
    // before the first rebuild or on an empty list.
    ListItem* At(std::int32_t position) const;

    ListItem* first = nullptr;
    std::int32_t count = 0;
    std::unique_ptr<ListItem*[]> index;
    std::int32_t indexSize = 0;  // items stored in `index` by the last rebuild
};

}  // namespace model
