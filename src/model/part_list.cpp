#include "model/part_list.h"

namespace model {

PartList::~PartList() {
    ListItem* item = first;
    for (std::int32_t i = 0; i < count && item != nullptr; ++i) {
        ListItem* following = item->next;
        delete item;
        item = following;
    }
}

bool PartList::Append(ListItem* item) {
    if (item == nullptr) return false;
    item->next = nullptr;
    if (count == 0) {
        item->prev = nullptr;
        first = item;
    } else {
        ListItem* last = first;
        for (std::int32_t i = 0; i < count - 1; ++i) last = last->next;
        last->next = item;
        item->prev = last;
    }
    ++count;
    return true;
}

bool PartList::RemoveAt(std::int32_t position) {
    if (position < 0 || position >= count) return false;
    if (position == 0) {
        ListItem* old = first;
        first = count > 1 ? old->next : nullptr;
        if (first != nullptr) first->prev = nullptr;
        delete old;
        --count;
        return true;
    }
    ListItem* item = ItemAt(position);
    if (item->prev != nullptr) item->prev->next = item->next;
    if (item->next != nullptr) item->next->prev = item->prev;
    delete item;
    --count;
    return true;
}

ListItem* PartList::ItemAt(std::int32_t position) const {
    if (position < 0 || position >= count) return nullptr;
    ListItem* item = first;
    for (std::int32_t i = 0; i < position; ++i) item = item->next;
    return item;
}

bool PartList::RebuildIndex() {
    index = std::make_unique<ListItem*[]>(static_cast<std::size_t>(count) + 1);
    indexSize = count;
    ListItem* item = first;
    for (std::int32_t i = 0; i < count; ++i) {
        index[i] = item;
        item = item->next;
    }
    index[count] = nullptr;
    return true;
}

ListItem* PartList::At(std::int32_t position) const {
    // A stale index (items appended since the last rebuild) only reaches the
    // items it was built with.
    const std::int32_t known = count < indexSize ? count : indexSize;
    if (index == nullptr || known <= 0) return nullptr;
    if (position < 0) return index[0];
    if (position >= known) return index[known - 1];
    return index[position];
}

}  // namespace model
